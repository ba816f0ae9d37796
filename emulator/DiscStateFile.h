// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Disc.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

// What a drive did to one of its discs, kept beside the disc's bytes so that
// the next run finds the disc as this one left it. A disc is remembered
// together with the description it was made from (a changed device id makes
// a new disc) and with the file that holds its bytes, by name and length, so
// that the state can only ever describe that file as it was left.
struct RememberedDisc {
    std::string origin;
    Disc disc;
    std::string file; // the name of the file of its bytes, without its folder
    std::int64_t bytes = 0;

    bool operator==(const RememberedDisc&) const = default;
};

using RememberedDiscs = std::vector<std::optional<RememberedDisc>>;

// The state file of a drive. Its text is untrusted: anyone may have written
// it, so every field is checked against what a disc can be.
class DiscStateFile {
public:
    explicit DiscStateFile(std::string path);

    // The discs the file remembers, none without a file; nullopt with
    // `problem` set when it is no state file of this user's or no valid one.
    std::optional<RememberedDiscs> load(std::string& problem) const;
    // Writes a new file in place of the old one at once, or not at all.
    bool save(const RememberedDiscs& discs) const;

    static std::string format(const RememberedDiscs& discs);
    static std::optional<RememberedDiscs> parse(std::string_view text, std::string& problem);

private:
    std::string path_;
};

} // namespace emulator
