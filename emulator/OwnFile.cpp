// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/OwnFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace emulator {

OwnFile OwnFile::checked(int fd) {
    if (fd < 0) {
        return OwnFile(-1, errno);
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
        ::close(fd);
        return OwnFile(-1, EPERM);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return OwnFile(fd, 0);
}

OwnFile OwnFile::open(const std::string& path, int flags) {
    // Non-blocking, so that a named pipe planted at the path cannot stall the
    // open; it is refused as no regular file right after.
    return checked(::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
}

OwnFile OwnFile::createUnique(std::string& pattern) {
    return checked(::mkostemp(pattern.data(), O_CLOEXEC));
}

} // namespace emulator
