// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Bytes.h"
#include "emulator/Disc.h"

#include <cstdint>

namespace emulator {

// GET CONFIGURATION (MMC-5 6.6): the profiles the drive knows, the current
// one, and the feature descriptors (MMC-5 5.3), each marked current when the
// loaded disc can use it. `requestType` 0: all features from `starting`,
// 1: the current ones, 2: just that one. `trayLoads`: the drive closes its
// tray by itself.
Bytes configuration(const Disc* disc, bool trayLoads, int requestType, std::uint16_t starting);

} // namespace emulator
