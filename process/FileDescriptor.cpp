#include "FileDescriptor.h"

#include <unistd.h>

namespace emberlin {

void FileDescriptor::reset(int fd) {
    const int previous = std::exchange(fd_, fd);
    // Never retried on EINTR: the descriptor is released either way.
    if (previous >= 0)
        ::close(previous);
}

} // namespace emberlin
