// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/BackingStore.h"

#include <cstdint>
#include <string_view>

namespace emulator {

// Writes the smallest valid ISO 9660 volume (ECMA-119): a primary volume
// descriptor at start + 16 whose volume, like a multi-session image, ends at
// `end`, a terminator, path tables and an empty root directory. Earlier
// sessions of an emulated disc carry one, so that readers see what they would
// see on a real disc.
bool writeIsoVolume(BackingStore& store, std::int64_t start, std::int64_t end,
                    std::string_view volumeId);

// Sectors a volume needs at the least.
constexpr std::int64_t isoVolumeSectors = 21;

} // namespace emulator
