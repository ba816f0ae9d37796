// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/IsoVolume.h"

#include "media/MediumFacts.h"

#include <string_view>

namespace disctool {

namespace {

constexpr auto sectorBytes = static_cast<std::size_t>(media::sectorBytes);
constexpr unsigned primaryType = 1;
constexpr unsigned terminatorType = 255;

unsigned byteAt(std::span<const std::byte> bytes, std::size_t at) {
    return std::to_integer<unsigned>(bytes[at]);
}

std::uint32_t littleEndian32(std::span<const std::byte> bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(byteAt(bytes, at + i)) << (8 * i);
    }
    return value;
}

std::uint32_t bigEndian32(std::span<const std::byte> bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = value << 8 | byteAt(bytes, at + i);
    }
    return value;
}

// A 32-bit number written both ways (ISO 9660 7.3.3): little-endian, then
// big-endian. Nullopt when the two disagree, as in no real descriptor.
std::optional<std::int64_t> bothEndian32(std::span<const std::byte> bytes, std::size_t at) {
    const std::uint32_t little = littleEndian32(bytes, at);
    if (little != bigEndian32(bytes, at + 4)) {
        return std::nullopt;
    }
    return little;
}

// The sector of the image, counted from its start, where the little-endian
// path table lies: the one among `descriptors` (sectors 16 on) whose first
// record is the root directory's (ISO 9660 9.4: name length 1, the root's
// extent, parent 1, name 0).
std::optional<std::int64_t> pathTableSector(std::span<const std::byte> descriptors,
                                            std::int64_t rootSector) {
    for (std::size_t at = 0; at + sectorBytes <= descriptors.size(); at += sectorBytes) {
        const std::span<const std::byte> sector = descriptors.subspan(at, sectorBytes);
        if (byteAt(sector, 0) == 1 && byteAt(sector, 1) == 0 &&
            littleEndian32(sector, 2) == rootSector && byteAt(sector, 6) == 1 &&
            byteAt(sector, 7) == 0 && byteAt(sector, 8) == 0) {
            return 16 + static_cast<std::int64_t>(at / sectorBytes);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<IsoVolume> IsoVolume::fromDescriptors(std::span<const std::byte> descriptors) {
    constexpr std::string_view standard = "CD001";
    for (std::size_t at = 0; at + sectorBytes <= descriptors.size(); at += sectorBytes) {
        const std::span<const std::byte> sector = descriptors.subspan(at, sectorBytes);
        for (std::size_t i = 0; i < standard.size(); ++i) {
            if (byteAt(sector, 1 + i) != static_cast<unsigned char>(standard[i])) {
                return std::nullopt;
            }
        }
        const unsigned type = byteAt(sector, 0);
        if (type == terminatorType) {
            return std::nullopt;
        }
        if (type != primaryType) {
            continue;
        }
        // The little-endian path table's location at byte 140; the root
        // directory's record at byte 156, its extent's location 2 bytes into it.
        const std::optional<std::int64_t> root = bothEndian32(sector, 158);
        if (!root || byteAt(sector, 6) != 1) {
            return std::nullopt;
        }
        const std::optional<std::int64_t> inImage = pathTableSector(descriptors, *root);
        return IsoVolume{*root, inImage ? std::optional(littleEndian32(sector, 140) - *inImage)
                                        : std::nullopt};
    }
    return std::nullopt;
}

bool IsoVolume::readableAt(std::int64_t start, std::int64_t imageSectors) const {
    return startSector == start && rootSector >= start && rootSector < start + imageSectors;
}

} // namespace disctool
