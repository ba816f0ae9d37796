// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/BackingStore.h"
#include "emulator/Disc.h"
#include "emulator/DriveConfig.h"

namespace emulator {

// A disc as its description says it arrives: blank, unformatted, or holding
// sessions written earlier, each with an ISO 9660 volume in its track. The
// bytes go to `store`, which starts out empty.
Disc makeFreshDisc(const DiscDescription& description, BackingStore& store);

} // namespace emulator
