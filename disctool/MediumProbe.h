// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/Drive.h"
#include "disctool/LibburnHandles.h"

#include <cstdint>

namespace disctool {

// The write options of a burn, exactly as the write will be given them, so
// that the free space asked for beforehand is the space the write will find.
libburn::WriteOptions makeWriteOptions(burn::burn_drive* drive, bool leaveAppendable, bool simulate,
                                       std::int64_t startByte);

// The facts about the disc in a grabbed, idle drive, read from libburn with
// calls that a real drive answers from its own commands: the status, the
// profile, the multi-session and test-burn capabilities, the free space with
// this burn's options, the formatting and format capacities, the ATIP
// lead-out of a CD-RW, where a new session would start, the first 64 KiB
// of an overwritable disc, and a sequential disc's sessions and the first
// 64 KiB of its last one.
Medium probeMedium(burn::burn_drive* drive, const WriteIntent& intent);

// Whether the drive's tray closes by itself (a motorised tray, not a slot,
// caddy or laptop pop-up), from its Removable Medium feature.
bool trayClosesByItself(burn::burn_drive* drive);

} // namespace disctool
