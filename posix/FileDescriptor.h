#pragma once

#include <unistd.h>
#include <utility>

namespace posix {

// Sole owner of one POSIX file descriptor: closed exactly once, when the owner
// goes away or is reset. -1 means "owns nothing".
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd)
        : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept
        : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.fd_, -1));
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return fd_; }
    bool isValid() const { return fd_ >= 0; }
    explicit operator bool() const { return isValid(); }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        const int previous = std::exchange(fd_, fd);
        // Never retried on EINTR: the descriptor is released either way.
        if (previous >= 0)
            ::close(previous);
    }

private:
    int fd_ = -1;
};

} // namespace posix
