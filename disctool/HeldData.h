// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/Drive.h"

#include <string>

namespace disctool {

// What a disc about to be erased or written over holds, for people: what
// the start of an overwritable disc holds ("a btrfs file system named
// "backup""), or a sequential disc's sessions, their size and what the last
// one starts with ("2 sessions (650 MB), the last an ISO 9660 file system
// named "PHOTOS"").
std::string describeHeldData(const Medium& medium);

} // namespace disctool
