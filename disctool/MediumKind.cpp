// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/MediumKind.h"

#include "media/MediumFacts.h"

#include <algorithm>
#include <array>
#include <optional>

namespace disctool {

namespace {

using K = MediumKind;
using F = MediumFamily;

// The media libburn writes, as the table of media facts names them.
constexpr std::array<std::pair<MediumKind, media::Medium>, 12> recordableKinds{{
    {K::CDR, media::Medium::CDR},
    {K::CDRW, media::Medium::CDRW},
    {K::DVDR, media::Medium::DVDMinusR},
    {K::DVDRDualLayer, media::Medium::DVDMinusRDualLayer},
    {K::DVDRWSequential, media::Medium::DVDMinusRWSequential},
    {K::DVDRWRestrictedOverwrite, media::Medium::DVDMinusRWRestrictedOverwrite},
    {K::DVDPlusR, media::Medium::DVDPlusR},
    {K::DVDPlusRDualLayer, media::Medium::DVDPlusRDualLayer},
    {K::DVDPlusRW, media::Medium::DVDPlusRW},
    {K::DVDRAM, media::Medium::DVDRAM},
    {K::BDR, media::Medium::BDR},
    {K::BDRE, media::Medium::BDRE},
}};

// Pressed discs, which nothing writes, and libburn's file-backed drives.
struct OtherKind {
    MediumKind kind;
    int profile;
    MediumFamily family;
};
constexpr std::array<OtherKind, 4> otherKinds{{
    {K::CDROM, 0x08, F::CD},
    {K::DVDROM, 0x10, F::DVD},
    {K::BDROM, 0x40, F::BD},
    {K::File, 0xffff, F::File},
}};

std::optional<media::Medium> mediumOf(MediumKind kind) {
    const auto found = std::find_if(recordableKinds.begin(), recordableKinds.end(),
                                    [&](const auto& pair) { return pair.first == kind; });
    return found != recordableKinds.end() ? std::optional(found->second) : std::nullopt;
}

// What the table says of a recordable kind; nothing for the others.
const media::MediumFacts* factsOf(MediumKind kind) {
    const std::optional<media::Medium> medium = mediumOf(kind);
    return medium ? &media::factsOf(*medium) : nullptr;
}

std::optional<media::Medium> mediumWithProfile(int profile) {
    if (profile <= 0 || profile > 0xffff) {
        return std::nullopt;
    }
    return media::mediumWithProfile(static_cast<std::uint16_t>(profile));
}

} // namespace

std::string_view mediumIdOf(int profile) {
    const std::optional<media::Medium> medium = mediumWithProfile(profile);
    return medium ? media::factsOf(*medium).id : std::string_view{};
}

MediumKind kindOfProfile(int profile) {
    if (profile == 0) {
        return K::None;
    }
    if (const std::optional<media::Medium> medium = mediumWithProfile(profile)) {
        return std::find_if(recordableKinds.begin(), recordableKinds.end(),
                            [&](const auto& pair) { return pair.second == *medium; })
            ->first;
    }
    const auto other =
        std::find_if(otherKinds.begin(), otherKinds.end(),
                     [&](const OtherKind& known) { return known.profile == profile; });
    return other != otherKinds.end() ? other->kind : K::Other;
}

MediumFamily familyOf(MediumKind kind) {
    if (const media::MediumFacts* facts = factsOf(kind)) {
        switch (facts->family) {
        case media::Family::CD:
            return F::CD;
        case media::Family::DVD:
            return F::DVD;
        case media::Family::BD:
            return F::BD;
        }
    }
    const auto other = std::find_if(otherKinds.begin(), otherKinds.end(),
                                    [&](const OtherKind& known) { return known.kind == kind; });
    return other != otherKinds.end() ? other->family : F::Unknown;
}

bool isWritable(MediumKind kind) {
    return factsOf(kind) != nullptr || kind == K::File;
}

bool isBlankable(MediumKind kind) {
    const media::MediumFacts* facts = factsOf(kind);
    return facts != nullptr && facts->erasable && !facts->overwritable;
}

bool isOverwritable(MediumKind kind) {
    const media::MediumFacts* facts = factsOf(kind);
    return facts != nullptr && facts->overwritable;
}

bool isFormattable(MediumKind kind) {
    const media::MediumFacts* facts = factsOf(kind);
    return facts != nullptr && facts->formattable && facts->overwritable;
}

} // namespace disctool
