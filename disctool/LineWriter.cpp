// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/LineWriter.h"

#include <cerrno>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace disctool {

LineWriter::LineWriter(int fd)
    : fd_(fd)
    , terminal_(::isatty(fd) == 1) {}

void LineWriter::line(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + 1);
    // A line end inside the text would split it into lines the reader does
    // not expect.
    for (const char c : text) {
        bytes.push_back(c == '\n' || c == '\r' ? ' ' : c);
    }
    bytes.push_back('\n');
    writeAll(bytes);
}

void LineWriter::text(std::string_view text) {
    writeAll(text);
}

void LineWriter::writeAll(std::string_view bytes) {
    while (!broken_ && !bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd ready{fd_, POLLOUT, 0};
                ::poll(&ready, 1, -1);
                continue;
            }
            broken_ = true;
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace disctool
