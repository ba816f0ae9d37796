// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace emulator {

// The files an emulated drive keeps its discs in, side by side: PATH holds
// the first disc's bytes, PATH.2, PATH.3 and so on the next ones', PATH.state
// what was done to each. They may lie in a folder other users write to, such
// as /tmp, so the drive takes a file only as an emulated disc of this user:
// a regular file of this user's own (never a symbolic link), and, when it
// holds data, one the state file beside it describes as it is (or that a
// drive at work on it holds locked while it grows). A file that holds data
// but was never an emulated disc is left alone. A command log the
// id asks for is added to only as this user's own regular file.
class DiscFiles {
public:
    DiscFiles(std::string path, std::size_t discs, std::optional<std::string> log = {});

    std::string disc(std::size_t index) const;
    std::string state() const { return path_ + ".state"; }

    // Why the drive may not keep its discs in these files, if it may not,
    // as far as looking at them tells.
    std::optional<std::string> problem() const;
    // The same, then writes a file beside them and creates the first disc's
    // file (a drive's node exists from the start), saying why it could not.
    std::optional<std::string> prepare() const;

private:
    std::string path_;
    std::size_t discs_;
    std::optional<std::string> log_;
};

} // namespace emulator
