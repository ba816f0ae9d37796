// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediumFacts.h"

#include <optional>
#include <string>

namespace disctool {

// The write speed to ask the drive for, in kB/s (1000 bytes) rounded up, for
// a multiple of the medium's 1x (CD 176.4, DVD 1385, BD 4495.625 kB/s). 0 (the
// maximum) for multiple 0 and for media without a nominal speed (no family).
int kilobytesPerSecond(std::optional<media::Family> family, int multiple);

// A speed for people: "16.0x (22160 kB/s)", or only kB/s for media without a 1x.
std::string describeSpeed(std::optional<media::Family> family, int kilobytesPerSecond);

} // namespace disctool
