// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace disctool {

enum class MediumFamily { CD, DVD, BD, File, Unknown };

// The medium in a drive, by the profile the drive reports (a file-backed
// drive is libburn's own profile 0xffff).
enum class MediumKind {
    None, // no disc
    CDROM,
    CDR,
    CDRW,
    DVDROM,
    DVDR,
    DVDRDualLayer,
    DVDRWSequential,
    DVDRWRestrictedOverwrite,
    DVDPlusR,
    DVDPlusRDualLayer,
    DVDPlusRW,
    DVDRAM,
    BDROM,
    BDR,
    BDRE,
    File,
    Other, // a profile libburn does not write
};

MediumKind kindOfProfile(int profile);
// The medium of a profile as emulated drive ids name it ("dvd+rw"); empty for
// media that cannot be written or emulated, and for files.
std::string_view mediumIdOf(int profile);
MediumFamily familyOf(MediumKind kind);
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
