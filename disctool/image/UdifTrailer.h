// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace disctool {

// The 512-byte trailer that ends every UDIF image (signature `koly`): where
// its data fork and property list lie, its segments and its checksum.
struct UdifTrailer {
    static constexpr std::size_t bytes = 512;

    std::uint64_t dataForkOffset = 0;
    std::uint64_t dataForkLength = 0;
    std::uint64_t xmlOffset = 0;
    std::uint64_t xmlLength = 0;
    std::uint32_t segmentCount = 0;
    std::uint64_t sectorCount = 0;
    // The data fork's CRC32, when the image carries one.
    std::optional<std::uint32_t> dataForkCrc32;

    // The trailer in `last512`, the file's last 512 bytes; nullopt without the signature.
    static std::optional<UdifTrailer> parse(std::span<const std::byte> last512);
};

} // namespace disctool
