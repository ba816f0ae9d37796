// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/UdifChecksum.h"

#include "disctool/image/BigEndian.h"

#include <libdeflate.h>

namespace disctool {

std::optional<std::uint32_t> udifCrc32(std::span<const std::byte> field) {
    constexpr std::uint32_t crc32Type = 2;
    if (bigEndianAt<std::uint32_t>(field, 0) != crc32Type ||
        bigEndianAt<std::uint32_t>(field, 4) != 32) {
        return std::nullopt;
    }
    return bigEndianAt<std::uint32_t>(field, 8);
}

std::uint32_t crc32Continued(std::uint32_t crc, std::span<const std::byte> bytes) {
    // libdeflate's CRC32 is zlib's, several times faster on large buffers.
    return libdeflate_crc32(crc, bytes.data(), bytes.size());
}

} // namespace disctool
