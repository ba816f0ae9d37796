// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace emulator {

// The media a drive can hold, each named by the profile it reports.
enum class Medium {
    CDR,
    CDRW,
    DVDMinusR,
    DVDMinusRDualLayer,
    DVDMinusRWSequential,
    DVDMinusRWRestrictedOverwrite,
    DVDPlusR,
    DVDPlusRDualLayer,
    DVDPlusRW,
    DVDRAM,
    BDR,
    BDRE,
};

enum class Family { CD, DVD, BD };

struct MediumTraits {
    std::string_view id;          // as written in a device id: "dvd+rw"
    std::string_view displayName; // "DVD+RW"
    std::uint16_t profile;        // MMC-5 Table 89, the profile list
    Family family;
    bool overwritable; // random writes in a formatted area, no sessions
    bool erasable;     // BLANK applies
    bool formattable;  // FORMAT UNIT applies
    bool testWrite;    // can simulate a write (page 05h Test Write)
    int layers;
    std::int64_t capacity; // sectors of a common disc, unformatted
    double maxWriteSpeed;  // in multiples of 1x
    double maxReadSpeed;
    std::uint8_t bookType; // DVD book type of the physical format (READ DISC STRUCTURE 00h)
};

const MediumTraits& traitsOf(Medium medium);
std::optional<Medium> mediumWithId(std::string_view id);
std::optional<Medium> mediumWithProfile(std::uint16_t profile);

// User data at 1x, in bytes per second: CD 75 sectors of 2048 bytes, DVD
// 11.08 Mbit/s, BD 36 Mbit/s.
double userBytesPerSecondAt1x(Family family);
// 1x in the kB/s (1000 bytes) that speed fields count: a CD's 1x is 176.4 kB/s
// of raw sectors (MMC-5 6.37, SET CD SPEED).
double kilobytesPerSecondAt1x(Family family);

} // namespace emulator
