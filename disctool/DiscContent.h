// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

namespace disctool {

// What an overwritable disc holds. libburn calls every such disc blank, so
// the tool reads its start and its end and judges them itself.
struct DiscContent {
    enum class Verdict {
        Unexamined, // not an overwritable disc, or not formatted yet: nothing to read
        Blank,      // nothing recognised, and only zeros (or a blanking tool's mark)
        Data,
        Unreadable, // the drive could not read it all: a doubt, settled for the data
    };
    Verdict verdict = Verdict::Unexamined;
    // What libblkid found, as it names it ("btrfs", "gpt"); empty when it
    // recognised nothing.
    std::string type;
    std::string label; // the volume's name, printable characters only

    bool holdsData() const { return verdict == Verdict::Data || verdict == Verdict::Unreadable; }
    // For people: "a btrfs file system named "backup"", "data of an unknown kind".
    std::string describe() const;
};

// How much of a disc is read and judged: its first MiBs hold the signatures
// of file systems and partition tables, its last MiB the copies some keep
// there (a GPT's backup header, UDF's last anchor).
inline constexpr std::size_t discStartBytes = 2 * 1024 * 1024;
inline constexpr std::size_t discEndBytes = 1024 * 1024;

} // namespace disctool
