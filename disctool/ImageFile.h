// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "posix/FileDescriptor.h"

#include <cstdint>
#include <optional>
#include <string>

namespace disctool {

// The image file, opened read-only: a readable regular file of non-zero size.
class ImageFile {
public:
    // The opened image, or nullopt with `problem` saying why it cannot be used.
    static std::optional<ImageFile> open(const std::string& path, std::string& problem);

    int descriptor() const { return fd_.get(); }
    std::int64_t size() const { return size_; }

private:
    ImageFile(posix::FileDescriptor fd, std::int64_t size);

    posix::FileDescriptor fd_;
    std::int64_t size_ = 0;
};

} // namespace disctool
