// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediumFacts.h"

#include <optional>
#include <string_view>

namespace disctool {

// The medium in a drive, known by the profile the drive reports. What each
// recordable medium is, the table of media facts says; anything else (a
// pressed disc, a medium libburn does not write) is not written.
struct MediumKind {
    int profile = 0; // MMC profile number, 0 when there is no disc
    friend bool operator==(const MediumKind&, const MediumKind&) = default;
};

// libburn's file-backed drives report a profile of their own.
inline constexpr MediumKind fileMedium{0xffff};

// The recordable medium of the table; nothing for anything else.
std::optional<media::Medium> recordableMedium(MediumKind kind);
// The medium as emulated drive ids name it ("dvd+rw"); empty for media that
// cannot be written or emulated, and for files.
std::string_view mediumIdOf(MediumKind kind);
// The family of a recordable medium; nothing for a file and the rest.
std::optional<media::Family> familyOf(MediumKind kind);
// libburn can write it.
bool isWritable(MediumKind kind);
// Must be blanked before it takes new data: CD-RW and sequential DVD-RW.
bool isBlankable(MediumKind kind);
// Written anywhere, without sessions or a closing step: DVD-RAM, DVD+RW,
// BD-RE and restricted-overwrite DVD-RW. libburn reports them blank whatever
// they hold.
bool isOverwritable(MediumKind kind);
// Overwritable, and written only where formatted: a drive that says it is
// unformatted wants it formatted before the first write (DVD-RAM, DVD+RW,
// BD-RE, restricted-overwrite DVD-RW).
bool isFormattable(MediumKind kind);

} // namespace disctool
