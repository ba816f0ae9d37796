// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Bytes.h"
#include "Disc.h"

#include <cstdint>

namespace emulator {

// GET CONFIGURATION (MMC-5 6.6): the profiles the drive knows, the current
// one, and the feature descriptors (MMC-5 5.3), each marked current when the
// loaded disc can use it. `requestType` 0: all features from `starting`,
// 1: the current ones, 2: just that one.
Bytes configuration(const Disc* disc, int requestType, std::uint16_t starting);

} // namespace emulator
