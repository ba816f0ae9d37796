// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>

namespace disctool {

// Apple Data Compression, the oldest of UDIF's codings (images made with
// `-format UDCO`): literal runs and copies of up to 64 KiB back. No library
// reads it.
//
// True when `in` expands to exactly `out.size()` bytes.
bool expandAdc(std::span<const std::byte> in, std::span<std::byte> out);

} // namespace disctool
