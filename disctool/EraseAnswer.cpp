// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/EraseAnswer.h"

#include "protocol/ToolProtocol.h"

#include <cerrno>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace disctool {

namespace {

// Far more than either answer: whatever is longer is no answer.
constexpr std::size_t longestLine = 64;
constexpr int pollMilliseconds = 25;

} // namespace

void forgetTypedAhead(int fd) {
    if (::isatty(fd) == 1) {
        ::tcflush(fd, TCIFLUSH);
    }
}

EraseAnswer readEraseAnswer(int fd, const std::function<bool()>& aborted) {
    std::string line;
    for (;;) {
        if (aborted()) {
            return EraseAnswer::Aborted;
        }
        pollfd input{fd, POLLIN, 0};
        const int ready = ::poll(&input, 1, pollMilliseconds);
        if (ready < 0 && errno != EINTR) {
            return EraseAnswer::None;
        }
        if (ready <= 0) {
            continue;
        }
        char byte = 0;
        const ssize_t got = ::read(fd, &byte, 1);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (got <= 0) {
            return EraseAnswer::None;
        }
        if (byte == '\n') {
            return line == toolprotocol::answerErase  ? EraseAnswer::Erase
                   : line == toolprotocol::answerKeep ? EraseAnswer::Keep
                                                      : EraseAnswer::Unclear;
        }
        if (byte != '\r') {
            line += byte;
        }
        if (line.size() > longestLine) {
            return EraseAnswer::Unclear;
        }
    }
}

} // namespace disctool
