// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace disctool {

// UDIF counts its sectors in 512 bytes.
inline constexpr std::int64_t udifSectorBytes = 512;

// Bounds on what a UDIF image may claim, so that a crafted one can neither
// overflow a sum nor make the tool take memory without end.

// A four-layer BD-XL holds 128 GB; an image larger than that fits no disc.
inline constexpr std::uint64_t udifMostSectors = (std::uint64_t{1} << 38) / 512;
inline constexpr std::uint64_t udifMostFileBytes = std::uint64_t{1} << 40;
// Images are cut into chunks of 1 MiB or less; a coded chunk is expanded in
// memory, so more is refused.
inline constexpr std::int64_t udifMostChunkBytes = 16 * 1024 * 1024;
// The property list is read into memory; real ones take a few hundred KiB.
inline constexpr std::uint64_t udifMostPropertyListBytes = 64 * 1024 * 1024;

} // namespace disctool
