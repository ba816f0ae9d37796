// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "posix/FileDescriptor.h"

#include <optional>
#include <string>
#include <sys/stat.h>

namespace disctool {

// A new file written beside its target under a hidden, unique name, that takes
// the target's name only once it holds a good result: a cancelled or failed
// burn to an image file leaves whatever file was there untouched. It is
// written and read through the descriptor it was created with, never by its
// name. Removed with the object unless it replaced the target.
class ReplacementFile {
public:
    // The empty file, or nullopt with `problem` saying why it cannot be made.
    static std::optional<ReplacementFile> create(const std::string& target, std::string& problem);

    ReplacementFile(ReplacementFile&& other) noexcept;
    ReplacementFile& operator=(ReplacementFile&&) = delete;
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile();

    const std::string& path() const { return path_; }
    int descriptor() const { return fd_.get(); }

    // Gives the file the target's name, with the permissions (and, where
    // allowed, the owner) of the file it replaces, or those of a new file;
    // never more than `allowed` (the permissions of what it holds).
    bool replaceTarget(mode_t allowed, std::string& problem);

private:
    ReplacementFile(posix::FileDescriptor fd, std::string target, std::string path,
                    std::optional<struct stat> replaced);

    posix::FileDescriptor fd_;
    std::string target_;
    std::string path_; // empty once renamed or moved from
    std::optional<struct stat> replaced_;
};

} // namespace disctool
