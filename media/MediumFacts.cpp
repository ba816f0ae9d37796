// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/MediumFacts.h"

#include <algorithm>
#include <array>

namespace media {

namespace {

// CD (ECMA-130, Orange Book): 75 sectors a second at 1x; a session's lead-in
// takes at most 1:00, the first lead-out 1:30, later ones 0:30, a pregap 0:02.
constexpr std::int64_t cdSectorsPerSecond = 75;
constexpr std::int64_t cdRawSectorBytes = 2352;
constexpr std::int64_t cdLeadIn = 60 * cdSectorsPerSecond;
constexpr std::int64_t cdFirstLeadOut = 90 * cdSectorsPerSecond;
constexpr std::int64_t cdLaterLeadOut = 30 * cdSectorsPerSecond;
constexpr std::int64_t cdPregap = 2 * cdSectorsPerSecond;
// An 80-minute disc: its lead-out starts at 79:59:74.
constexpr std::int64_t cd80Minutes = 359849;

// DVD (ECMA-267): 11.08 Mbit/s of user data at 1x, ECC blocks of 16 sectors;
// its lead-in and the start of its data zone: 32 MiB.
constexpr std::int64_t dvdBytesPerSecond = 1385000;
constexpr std::int64_t dvdEccBlock = 16;
constexpr std::int64_t dvdLeadInAndStart = 16384;
// 4.7 GB discs by their books: DVD+R and DVD+RW (ECMA-349, ECMA-337; taken
// for DVD-RAM too), DVD-R (ECMA-279), DVD-RW (ECMA-338); 8.5 GB dual-layer
// ones (ECMA-364, ECMA-382).
constexpr std::int64_t dvd47Plus = 2295104;
constexpr std::int64_t dvd47MinusR = 2298496;
constexpr std::int64_t dvd47MinusRW = 2297888;
constexpr std::int64_t dvd85Plus = 4173824;
constexpr std::int64_t dvd85MinusR = 4171712;
// A DVD-R's border-out and the next border-in (ECMA-279): about 32 MiB after
// the first session, 6 MiB after later ones; a DVD+R's session closure and
// the next intro (ECMA-349): about 8 MiB.
constexpr std::int64_t dvdMinusFirstBorder = 16384;
constexpr std::int64_t dvdMinusLaterBorder = 3072;
constexpr std::int64_t dvdPlusClosure = 4096;

// BD (the BD-R and BD-RE format books): a 66 Mbit/s channel at 1x, 64 KiB
// clusters of 32 sectors recorded in 498 frames of 1932 channel bits: about
// 4,495,600 bytes a second, nominally 36 Mbit/s. libburn counts
// 4495.625 kB/s (mmc.c), and so does everything here. 25 GB a layer; the
// disc management areas a quick format or a closing brings up to date.
constexpr std::int64_t bdBytesPerSecond = 4495625;
constexpr std::int64_t bdCluster = 32;
constexpr std::int64_t bd25 = 12219392;
constexpr std::int64_t bdManagementAreas = 8192;

constexpr std::int64_t mebibyte = 1024 * 1024;

// Drives write at constant linear velocity up to 16x CD, 6x DVD and 4x BD,
// and have 2 MiB of buffer, a BD drive 4 MiB. A CD track written at once ends
// in 2 run-out blocks. In the order of Family.
constexpr std::array<FamilyFacts, 3> families{{
    {cdSectorsPerSecond * sectorBytes, cdRawSectorBytes, 16, cdLeadIn + cdFirstLeadOut,
     2 * mebibyte, 1, cdPregap, 2, cd80Minutes},
    {dvdBytesPerSecond, sectorBytes, 6, dvdLeadInAndStart, 2 * mebibyte, dvdEccBlock, 0, 0,
     dvd47Plus},
    {bdBytesPerSecond, sectorBytes, 4, bdManagementAreas, 4 * mebibyte, bdCluster, 0, 0, bd25},
}};

using M = Medium;
using F = Family;

// Profiles from MMC-5's list. Speeds of a current drive (writing 24x CD-RW,
// 8x dual-layer DVDs, 2x BD-RE; reading 40x CD-RW, 12x rewritable and
// dual-layer DVDs, 5x DVD-RAM, 8x BD). The CD gaps hold the lead-out, the
// next lead-in and the next pregap: the familiar 11400 and 6900 sectors.
constexpr std::int64_t cdFirstGap = cdFirstLeadOut + cdLeadIn + cdPregap;
constexpr std::int64_t cdLaterGap = cdLaterLeadOut + cdLeadIn + cdPregap;
constexpr std::array<MediumFacts, 12> media{{
    {M::CDR, "cd-r", "CD-R", 0x09, F::CD, false, false, false, true, 1, cd80Minutes, 48, 48, 0,
     cdFirstGap, cdLaterGap},
    {M::CDRW, "cd-rw", "CD-RW", 0x0A, F::CD, false, true, false, true, 1, cd80Minutes, 24, 40, 0,
     cdFirstGap, cdLaterGap},
    {M::DVDMinusR, "dvd-r", "DVD-R", 0x11, F::DVD, false, false, false, true, 1, dvd47MinusR, 16,
     16, 2, dvdMinusFirstBorder, dvdMinusLaterBorder},
    {M::DVDMinusRDualLayer, "dvd-r-dl", "DVD-R DL", 0x15, F::DVD, false, false, false, true, 2,
     dvd85MinusR, 8, 12, 2, dvdMinusFirstBorder, dvdMinusLaterBorder},
    {M::DVDMinusRWSequential, "dvd-rw", "DVD-RW", 0x14, F::DVD, false, true, true, true, 1,
     dvd47MinusRW, 6, 12, 3, dvdMinusFirstBorder, dvdMinusLaterBorder},
    {M::DVDMinusRWRestrictedOverwrite, "dvd-rw-ro", "DVD-RW", 0x13, F::DVD, true, true, true, false,
     1, dvd47MinusRW, 6, 12, 3, 0, 0},
    {M::DVDPlusR, "dvd+r", "DVD+R", 0x1B, F::DVD, false, false, false, false, 1, dvd47Plus, 16, 16,
     10, dvdPlusClosure, dvdPlusClosure},
    {M::DVDPlusRDualLayer, "dvd+r-dl", "DVD+R DL", 0x2B, F::DVD, false, false, false, false, 2,
     dvd85Plus, 8, 12, 14, dvdPlusClosure, dvdPlusClosure},
    {M::DVDPlusRW, "dvd+rw", "DVD+RW", 0x1A, F::DVD, true, false, true, false, 1, dvd47Plus, 8, 12,
     9, 0, 0},
    {M::DVDRAM, "dvd-ram", "DVD-RAM", 0x12, F::DVD, true, false, true, false, 1, dvd47Plus, 5, 5, 1,
     0, 0},
    {M::BDR, "bd-r", "BD-R", 0x41, F::BD, false, false, true, false, 1, bd25, 12, 8, 0, 0, 0},
    {M::BDRE, "bd-re", "BD-RE", 0x43, F::BD, true, false, true, false, 1, bd25, 2, 8, 0, 0, 0},
}};
static_assert(std::ranges::all_of(media, [](const MediumFacts& facts) {
    return &facts - media.data() == static_cast<std::ptrdiff_t>(facts.medium);
}));

} // namespace

const FamilyFacts& factsOf(Family family) {
    return families[static_cast<std::size_t>(family)];
}

std::int64_t speedFieldBytesPerSecondAt1x(Family family) {
    const FamilyFacts& facts = factsOf(family);
    return facts.userBytesPerSecondAt1x * facts.speedFieldSectorBytes / sectorBytes;
}

std::span<const MediumFacts> allMedia() {
    return media;
}

const MediumFacts& factsOf(Medium medium) {
    return media[static_cast<std::size_t>(medium)];
}

std::optional<Medium> mediumWithId(std::string_view id) {
    const auto found = std::find_if(media.begin(), media.end(),
                                    [&](const MediumFacts& facts) { return facts.id == id; });
    return found != media.end() ? std::optional(found->medium) : std::nullopt;
}

std::optional<Medium> mediumWithProfile(std::uint16_t profile) {
    const auto found = std::find_if(media.begin(), media.end(), [&](const MediumFacts& facts) {
        return facts.profile == profile;
    });
    return found != media.end() ? std::optional(found->medium) : std::nullopt;
}

std::int64_t closingSectors(const MediumFacts& medium, int closedBefore) {
    if (medium.overwritable) {
        return 0;
    }
    if (medium.family == Family::BD) {
        return bdManagementAreas;
    }
    return closedBefore == 0 ? medium.firstSessionGap : medium.laterSessionGap;
}

} // namespace media
