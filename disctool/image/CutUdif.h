// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/ImageFile.h"

#include <string>

namespace disctool {

// Whether a file named `path`, which has no UDIF trailer, looks like a UDIF
// image cut off before it: named .dmg, and not a whole number of sectors,
// ending in its property list or starting with a compressed chunk, which no
// plain sector image is or does. Burned
// as it is, such a file would spend a disc on the wrapper's bytes.
bool looksLikeCutUdif(const std::string& path, const ImageFile& file);

} // namespace disctool
