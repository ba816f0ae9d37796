// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/MediumKind.h"

namespace disctool {

namespace {

// What the table says of a recordable medium; nothing for the others.
const media::MediumFacts* factsOf(MediumKind kind) {
    const std::optional<media::Medium> medium = recordableMedium(kind);
    return medium ? &media::factsOf(*medium) : nullptr;
}

} // namespace

std::optional<media::Medium> recordableMedium(MediumKind kind) {
    if (kind.profile <= 0 || kind.profile > 0xffff) {
        return std::nullopt;
    }
    return media::mediumWithProfile(static_cast<std::uint16_t>(kind.profile));
}

std::string_view mediumIdOf(MediumKind kind) {
    const media::MediumFacts* facts = factsOf(kind);
    return facts != nullptr ? facts->id : std::string_view{};
}

std::optional<media::Family> familyOf(MediumKind kind) {
    const media::MediumFacts* facts = factsOf(kind);
    return facts != nullptr ? std::optional(facts->family) : std::nullopt;
}

bool isWritable(MediumKind kind) {
    return factsOf(kind) != nullptr || kind == fileMedium;
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
