// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// What optical media are, written once for the estimate, the emulated drive
// and the disc-image tool. Plain C++, no Qt and no libburn. Sizes are in
// sectors of user data.
namespace media {

// A data sector's user bytes (ECMA-130 mode 1, ECMA-267, BD), and the block
// length MMC commands count in.
inline constexpr std::int64_t sectorBytes = 2048;

// The recorded area of a 120 mm disc runs from about 24 mm to 58 mm radius
// (ECMA-130, ECMA-267, the BD format books), in millimetres.
inline constexpr double recordedInnerRadius = 24.0;
inline constexpr double recordedOuterRadius = 58.0;

enum class Family { CD, DVD, BD };

struct FamilyFacts {
    // User data per second at 1x.
    std::int64_t userBytesPerSecondAt1x;
    // The sector a speed field (kB/s, 1000 bytes) counts: a CD's raw 2352
    // bytes (SET CD SPEED, so 1x is 176.4 kB/s), user data on DVD and BD.
    std::int64_t speedFieldSectorBytes;
    // Up to this multiple drives write at constant linear velocity; above it
    // they spin at a constant rate and reach the multiple only at the rim.
    double constantLinearLimit;
    // What a minimal blank or a quick format goes over.
    std::int64_t quickJobSectors;
    // A current drive's write buffer.
    std::int64_t bufferBytes;
    // Tracks end on a whole ECC block (DVD) or cluster (BD).
    std::int64_t trackAlignSectors;
    // The pregap before each further track of a CD session.
    std::int64_t trackPregapSectors;
    // The run-out after a CD track written at once (track at once).
    std::int64_t runOutSectors;
    // One layer of the usual disc, when a drive does not say its size.
    std::int64_t usualLayerSectors;
};

const FamilyFacts& factsOf(Family family);
// 1x in the bytes per second that MMC speed fields and libburn count (in kB/s
// of 1000 bytes).
std::int64_t speedFieldBytesPerSecondAt1x(Family family);

// The recordable media, each named by the profile it reports.
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

struct MediumFacts {
    Medium medium;
    std::string_view id;          // in emulated drive ids and fact lines: "dvd+rw"
    std::string_view displayName; // "DVD+RW"
    std::uint16_t profile;        // MMC-5 Table 89, the profile list
    Family family;
    bool overwritable; // random writes in a formatted area, no sessions
    bool erasable;     // BLANK applies
    bool formattable;  // FORMAT UNIT applies
    bool testWrite;    // can simulate a write (page 05h Test Write)
    int layers;
    std::int64_t capacity; // sectors of a common disc, unformatted
    double maxWriteSpeed;  // of a current drive, in multiples of 1x
    double maxReadSpeed;
    std::uint8_t bookType; // DVD book type of the physical format (READ DISC STRUCTURE 00h)
    // What the drive writes after a closed session's data, before the next
    // session's: lead-out and lead-in, or a border.
    std::int64_t firstSessionGap;
    std::int64_t laterSessionGap;
};

std::span<const MediumFacts> allMedia();
const MediumFacts& factsOf(Medium medium);
std::optional<Medium> mediumWithId(std::string_view id);
std::optional<Medium> mediumWithProfile(std::uint16_t profile);

// What closing a session writes, in sectors: the gap after it, or on a BD-R,
// whose sessions follow each other without one, its disc management areas;
// nothing on an overwritable disc. `closedBefore` sessions were closed
// before this one.
std::int64_t closingSectors(const MediumFacts& medium, int closedBefore = 0);

} // namespace media
