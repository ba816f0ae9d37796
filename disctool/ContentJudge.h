// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/DiscContent.h"

#include <cstdint>
#include <span>

namespace disctool {

// Judges what a disc of `discBytes` holds from its first bytes (`start`, the
// first discStartBytes or the whole disc if smaller) and its last (`end`,
// discEndBytes or the whole disc), the way Linux tools judge a device:
// libblkid looks for every file system's and partition table's signature at
// its own offset. The disc is blank only when libblkid finds nothing and
// every byte read is zero, but for the mark a blanking tool leaves ("CDXX1"
// in place of "CD001" in the volume descriptors) with nothing around it.
// Anything else is data, an ambiguous answer and a short read included.
DiscContent judgeDiscContent(std::span<const std::byte> start, std::span<const std::byte> end,
                             std::int64_t discBytes);

} // namespace disctool
