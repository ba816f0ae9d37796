// SPDX-License-Identifier: GPL-3.0-or-later
#include "MediumKind.h"

#include "Medium.h"

#include <array>

namespace disctool {

namespace {

struct KindTraits {
    MediumKind kind;
    int profile;
    MediumFamily family;
    bool writable;
    bool blankable;
    bool overwritable;
    bool formattable;
};

using K = MediumKind;
using F = MediumFamily;

constexpr std::array<KindTraits, 16> allKinds{{
    {K::CDROM, 0x08, F::CD, false, false, false, false},
    {K::CDR, 0x09, F::CD, true, false, false, false},
    {K::CDRW, 0x0a, F::CD, true, true, false, false},
    {K::DVDROM, 0x10, F::DVD, false, false, false, false},
    {K::DVDR, 0x11, F::DVD, true, false, false, false},
    {K::DVDRAM, 0x12, F::DVD, true, false, true, true},
    {K::DVDRWRestrictedOverwrite, 0x13, F::DVD, true, false, true, false},
    {K::DVDRWSequential, 0x14, F::DVD, true, true, false, false},
    {K::DVDRDualLayer, 0x15, F::DVD, true, false, false, false},
    {K::DVDPlusRW, 0x1a, F::DVD, true, false, true, true},
    {K::DVDPlusR, 0x1b, F::DVD, true, false, false, false},
    {K::DVDPlusRDualLayer, 0x2b, F::DVD, true, false, false, false},
    {K::BDROM, 0x40, F::BD, false, false, false, false},
    {K::BDR, 0x41, F::BD, true, false, false, false},
    {K::BDRE, 0x43, F::BD, true, false, true, true},
    {K::File, 0xffff, F::File, true, false, false, false},
}};

constexpr KindTraits unknownKind{K::Other, -1, F::Unknown, false, false, false, false};

const KindTraits& traitsOf(MediumKind kind) {
    for (const KindTraits& traits : allKinds) {
        if (traits.kind == kind) {
            return traits;
        }
    }
    return unknownKind;
}

} // namespace

std::string_view mediumIdOf(int profile) {
    if (profile <= 0 || profile > 0xffff) {
        return {};
    }
    const std::optional<emulator::Medium> medium =
        emulator::mediumWithProfile(static_cast<std::uint16_t>(profile));
    return medium ? emulator::traitsOf(*medium).id : std::string_view{};
}

MediumKind kindOfProfile(int profile) {
    if (profile == 0) {
        return K::None;
    }
    for (const KindTraits& traits : allKinds) {
        if (traits.profile == profile) {
            return traits.kind;
        }
    }
    return K::Other;
}

MediumFamily familyOf(MediumKind kind) {
    return traitsOf(kind).family;
}

bool isWritable(MediumKind kind) {
    return traitsOf(kind).writable;
}

bool isBlankable(MediumKind kind) {
    return traitsOf(kind).blankable;
}

bool isOverwritable(MediumKind kind) {
    return traitsOf(kind).overwritable;
}

bool isFormattable(MediumKind kind) {
    return traitsOf(kind).formattable;
}

} // namespace disctool
