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

// A 32-bit number written both ways (ISO 9660 7.3.3): little-endian, then
// big-endian. Nullopt when the two disagree, as in no real descriptor.
std::optional<std::int64_t> bothEndian32(std::span<const std::byte> bytes, std::size_t at) {
    std::uint32_t little = 0;
    std::uint32_t big = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        little |= static_cast<std::uint32_t>(byteAt(bytes, at + i)) << (8 * i);
        big = big << 8 | byteAt(bytes, at + 4 + i);
    }
    if (little != big) {
        return std::nullopt;
    }
    return little;
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
        // Volume space size at byte 80; the root directory's record at byte
        // 156, its extent's location 2 bytes into it.
        const std::optional<std::int64_t> space = bothEndian32(sector, 80);
        const std::optional<std::int64_t> root = bothEndian32(sector, 158);
        if (!space || !root || byteAt(sector, 6) != 1) {
            return std::nullopt;
        }
        return IsoVolume{*space, *root};
    }
    return std::nullopt;
}

bool IsoVolume::readableAt(std::int64_t startSector, std::int64_t imageSectors) const {
    const std::int64_t end = startSector + imageSectors;
    return rootSector >= startSector && rootSector < end && spaceSectors > startSector &&
           spaceSectors <= end;
}

} // namespace disctool
