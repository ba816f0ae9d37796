// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/BackingStore.h"

#include "emulator/Bytes.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace emulator {

BackingStore::BackingStore(std::string path)
    : path_(std::move(path)) {}

bool BackingStore::open() {
    if (!file_.isValid()) {
        file_ = OwnFile::open(path_, O_RDWR | O_CREAT);
    }
    return file_.isValid();
}

bool BackingStore::read(std::int64_t lba, std::span<std::uint8_t> data) {
    if (!open()) {
        return false;
    }
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t got =
            ::pread(file_.fd(), data.data() + done, data.size() - done,
                    static_cast<off_t>(lba * sectorBytes) + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            std::fill(data.begin() + static_cast<std::ptrdiff_t>(done), data.end(), 0);
            return true;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool BackingStore::write(std::int64_t lba, std::span<const std::uint8_t> data) {
    if (!open()) {
        return false;
    }
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t put =
            ::pwrite(file_.fd(), data.data() + done, data.size() - done,
                     static_cast<off_t>(lba * sectorBytes) + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool BackingStore::erase() {
    return open() && ::ftruncate(file_.fd(), 0) == 0;
}

std::int64_t BackingStore::bytes() {
    struct stat status {};
    return open() && ::fstat(file_.fd(), &status) == 0 ? status.st_size : -1;
}

} // namespace emulator
