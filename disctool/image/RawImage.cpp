// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/RawImage.h"

#include "disctool/PositionedIo.h"
#include "posix/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace disctool {

namespace {

// The file read in order through a descriptor of its own.
class RawStream : public ImageStream {
public:
    RawStream(int fd, std::int64_t size)
        : fd_(::fcntl(fd, F_DUPFD_CLOEXEC, 0))
        , size_(size) {
        ::posix_fadvise(fd_.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    }

    std::int64_t read(std::span<std::byte> buffer) override {
        const auto wanted = static_cast<std::size_t>(
            std::min(static_cast<std::int64_t>(buffer.size()), size_ - offset_));
        if (!readFully(fd_.get(), buffer.first(wanted), offset_)) {
            failure_ = std::string("Cannot read the image: ") + std::strerror(errno);
            return -1;
        }
        offset_ += static_cast<std::int64_t>(wanted);
        return static_cast<std::int64_t>(wanted);
    }

    std::string failure() const override { return failure_; }

private:
    posix::FileDescriptor fd_;
    std::int64_t size_;
    std::int64_t offset_ = 0;
    std::string failure_;
};

} // namespace

bool RawImage::readAt(std::int64_t offset, std::span<std::byte> buffer, std::string& problem) {
    if (!readFully(file().descriptor(), buffer, offset)) {
        problem = std::string("Cannot read the image: ") + std::strerror(errno);
        return false;
    }
    return true;
}

std::unique_ptr<ImageStream> RawImage::stream(std::shared_ptr<Sha256> /*fileDigest*/) const {
    // The file is the image: its digest is the one of what is delivered.
    return std::make_unique<RawStream>(file().descriptor(), size());
}

} // namespace disctool
