// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace disctool {

// What the start of an overwritable disc holds. libburn calls every such disc
// blank, so the tool reads its first 64 KiB and judges them itself.
enum class DiscContent {
    Unexamined, // not an overwritable disc, or not formatted yet: nothing to read
    Blank,      // all zero, or an ISO 9660 volume that a blanking tool invalidated
    Iso9660,
    Udf,
    HfsPlus,
    Fat,
    Ntfs,
    Ext,
    PartitionTable,
    UnknownData,
    Unreadable, // the drive could not read it all: a doubt, settled for the data
};

// The bytes read from the start of a disc.
inline constexpr std::size_t discStartBytes = 64 * 1024;

// Judges `start`, the first discStartBytes of a disc, conservatively: blank
// only when it is all zero or carries the mark libisoburn's blanking leaves
// ("CDXX1" in place of "CD001" in the primary volume descriptor) and nothing
// else that is recognised; any other bytes are data, named where they can be.
DiscContent classifyDiscStart(std::span<const std::byte> start);

bool holdsData(DiscContent content);

// For people: "an HFS+ volume", "data of an unknown kind".
std::string_view describe(DiscContent content);

} // namespace disctool
