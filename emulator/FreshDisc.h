// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BackingStore.h"
#include "Disc.h"
#include "DriveConfig.h"

namespace emulator {

// A disc as its description says it arrives: blank, unformatted, or holding
// sessions written earlier, each with an ISO 9660 volume in its track. The
// bytes go to `store`, which starts out empty.
Disc makeFreshDisc(const DiscDescription& description, BackingStore& store);

} // namespace emulator
