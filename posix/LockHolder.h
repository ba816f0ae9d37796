// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace posix {

// Whether the process runs as this process's user: a lock another user took
// on a file this user lets others read says nothing of what this user's
// programs do with it.
inline bool runByThisUser(pid_t pid) {
    struct stat process {};
    return ::stat(("/proc/" + std::to_string(pid)).c_str(), &process) == 0 &&
           process.st_uid == ::geteuid();
}

// Whether a program of this user holds a lock that a write lock over all of
// the open file would meet, as libburn holds a drive it uses.
inline bool lockedByThisUser(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK && runByThisUser(lock.l_pid);
}

} // namespace posix
