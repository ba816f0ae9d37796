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

// The CRC32 of what `crc` covers followed by `bytes` (`crc` 0: of `bytes`).
std::uint32_t crc32Continued(std::uint32_t crc, std::span<const std::byte> bytes);

} // namespace disctool
