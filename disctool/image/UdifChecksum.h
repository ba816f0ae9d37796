// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace disctool {

// A UDIF checksum field: its type, its width in bits and 128 bytes of value.
inline constexpr std::size_t udifChecksumBytes = 136;

// The CRC32 the field holds, or nullopt when it holds none (or another kind,
// which no reader checks).
std::optional<std::uint32_t> udifCrc32(std::span<const std::byte> field);

} // namespace disctool
