// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "posix/FileDescriptor.h"

#include <string>

namespace emulator {

// A file the emulator keeps beside a drive's discs (their bytes, their state,
// a command log), which may lie in a folder other users write to, such as
// /tmp. It is opened only as this user's own regular file, never through a
// symbolic link; otherwise the open fails with errno ELOOP (a link), EPERM
// (another user's file or not a regular file) or what open(2) said. Closed
// with the object.
class OwnFile {
public:
    // As open(2) with these flags, never blocking; O_CREAT makes it with mode
    // 0600: a disc may hold what only its owner may read.
    static OwnFile open(const std::string& path, int flags);
    // A new file at `pattern` ending in XXXXXX, which gets a name no one can
    // foresee (mkostemp); the pattern becomes that name.
    static OwnFile createUnique(std::string& pattern);

    OwnFile() = default;

    bool isValid() const { return fd_.isValid(); }
    int fd() const { return fd_.get(); }
    // The errno of a failed open.
    int error() const { return error_; }

private:
    OwnFile(int fd, int error)
        : fd_(fd)
        , error_(error) {}
    static OwnFile checked(int fd);

    posix::FileDescriptor fd_;
    int error_ = 0;
};

} // namespace emulator
