// SPDX-License-Identifier: GPL-3.0-or-later
#include "Medium.h"

#include <array>
#include <utility>

namespace emulator {

namespace {

// Capacities of common discs: an 80-minute CD (lead-out at 79:59:74), 4.7 GB
// DVDs, 8.5 GB dual-layer DVDs, 25 GB BDs, all before any spare area is set
// aside. Speeds of a current drive.
constexpr std::array<std::pair<Medium, MediumTraits>, 12> allTraits{{
    {Medium::CDR,
     {"cd-r", "CD-R", 0x09, Family::CD, false, false, false, true, 1, 359849, 48, 48, 0}},
    {Medium::CDRW,
     {"cd-rw", "CD-RW", 0x0A, Family::CD, false, true, false, true, 1, 359849, 24, 40, 0}},
    {Medium::DVDMinusR,
     {"dvd-r", "DVD-R", 0x11, Family::DVD, false, false, false, true, 1, 2298496, 16, 16, 2}},
    {Medium::DVDMinusRDualLayer,
     {"dvd-r-dl", "DVD-R DL", 0x15, Family::DVD, false, false, false, true, 2, 4171712, 8, 12, 2}},
    {Medium::DVDMinusRWSequential,
     {"dvd-rw", "DVD-RW", 0x14, Family::DVD, false, true, true, true, 1, 2297888, 6, 12, 3}},
    {Medium::DVDMinusRWRestrictedOverwrite,
     {"dvd-rw-ro", "DVD-RW", 0x13, Family::DVD, true, true, true, false, 1, 2297888, 6, 12, 3}},
    {Medium::DVDPlusR,
     {"dvd+r", "DVD+R", 0x1B, Family::DVD, false, false, false, false, 1, 2295104, 16, 16, 10}},
    {Medium::DVDPlusRDualLayer,
     {"dvd+r-dl", "DVD+R DL", 0x2B, Family::DVD, false, false, false, false, 2, 4173824, 8, 12,
      14}},
    {Medium::DVDPlusRW,
     {"dvd+rw", "DVD+RW", 0x1A, Family::DVD, true, false, true, false, 1, 2295104, 8, 12, 9}},
    {Medium::DVDRAM,
     {"dvd-ram", "DVD-RAM", 0x12, Family::DVD, true, false, true, false, 1, 2295104, 5, 5, 1}},
    {Medium::BDR,
     {"bd-r", "BD-R", 0x41, Family::BD, false, false, true, false, 1, 12219392, 12, 8, 0}},
    {Medium::BDRE,
     {"bd-re", "BD-RE", 0x43, Family::BD, true, false, true, false, 1, 12219392, 2, 8, 0}},
}};

} // namespace

const MediumTraits& traitsOf(Medium medium) {
    for (const auto& [candidate, traits] : allTraits) {
        if (candidate == medium) {
            return traits;
        }
    }
    return allTraits.front().second;
}

std::optional<Medium> mediumWithId(std::string_view id) {
    for (const auto& [medium, traits] : allTraits) {
        if (traits.id == id) {
            return medium;
        }
    }
    return std::nullopt;
}

std::optional<Medium> mediumWithProfile(std::uint16_t profile) {
    for (const auto& [medium, traits] : allTraits) {
        if (traits.profile == profile) {
            return medium;
        }
    }
    return std::nullopt;
}

double userBytesPerSecondAt1x(Family family) {
    return family == Family::CD ? 75.0 * 2048 : kilobytesPerSecondAt1x(family) * 1000.0;
}

double kilobytesPerSecondAt1x(Family family) {
    switch (family) {
    case Family::CD:
        return 176.4;
    case Family::DVD:
        return 1385.0;
    case Family::BD:
        return 4495.5;
    }
    return 1.0;
}

} // namespace emulator
