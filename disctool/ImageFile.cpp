// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/ImageFile.h"

#include "disctool/OutsideText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace disctool {

ImageFile::ImageFile(posix::FileDescriptor fd, std::int64_t size)
    : fd_(std::move(fd))
    , size_(size) {}

std::optional<ImageFile> ImageFile::open(const std::string& path, std::string& problem) {
    // Non-blocking, so that a named pipe given as image cannot stall the open.
    posix::FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.isValid()) {
        problem =
            "Cannot open the image" + outside::quoted(" " + path) + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        problem =
            "Cannot examine the image" + outside::quoted(" " + path) + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        problem = "The image" + outside::quoted(" " + path) + " is not a regular file";
        return std::nullopt;
    }
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    if (status.st_size <= 0) {
        problem = "The image" + outside::quoted(" " + path) + " is empty";
        return std::nullopt;
    }
    return ImageFile(std::move(fd), status.st_size);
}

} // namespace disctool
