// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace disctool {

enum class EraseAnswer {
    Erase,
    Keep,
    Unclear, // a line that is neither answer, or longer than any answer
    None,    // the input ended (or failed) before a whole line came
    Aborted, // a cancel came first
};

// Drops what was typed on a terminal before the question was put, so that
// only an answer to it counts. A pipe keeps what was written to it ahead:
// a script may answer in advance.
void forgetTypedAhead(int fd);

// Reads one answer line from `fd`: a pipe, or a raw pseudo-terminal where
// bytes arrive as written. Reads a byte at a time, so that what follows the
// line is left for the next question; a carriage return is ignored. Asks
// `aborted` at least every 25 ms while it waits, so a cancel is never held up.
EraseAnswer readEraseAnswer(int fd, const std::function<bool()>& aborted);

} // namespace disctool
