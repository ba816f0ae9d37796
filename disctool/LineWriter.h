// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace disctool {

// Writes whole lines to a descriptor, each with a single write() so that a
// reader on a pseudo-terminal receives every line in one piece. Output that
// nobody reads any more (a closed terminal or pipe) is dropped silently:
// the burn must still be brought to a safe end.
class LineWriter {
public:
    explicit LineWriter(int fd);

    // The text plus "\n"; line ends inside the text become blanks.
    void line(std::string_view text);
    // The text as it stands, without a line end.
    void text(std::string_view text);
    bool isTerminal() const { return terminal_; }

private:
    void writeAll(std::string_view bytes);

    int fd_;
    bool terminal_;
    bool broken_ = false;
};

} // namespace disctool
