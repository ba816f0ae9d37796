// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/PositionedIo.h"

#include <cerrno>
#include <unistd.h>

namespace disctool {

bool readFully(int fd, std::span<std::byte> buffer, std::int64_t offset) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::pread(fd, buffer.data() + done, buffer.size() - done,
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            if (got == 0) {
                errno = EIO;
            }
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool writeFully(int fd, std::span<const std::byte> buffer, std::int64_t offset) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t put = ::pwrite(fd, buffer.data() + done, buffer.size() - done,
                                     static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            if (put == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

} // namespace disctool
