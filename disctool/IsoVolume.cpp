// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/IsoVolume.h"

#include "iso9660/VolumeLayout.h"

namespace disctool {

namespace {

using namespace iso9660;

bool isDescriptor(std::span<const std::byte> sector) {
    for (std::size_t i = 0; i < standardIdentifier.size(); ++i) {
        if (byteAt(sector, descriptorIdentifier + i) !=
            static_cast<unsigned char>(standardIdentifier[i])) {
            return false;
        }
    }
    return true;
}

// The sector of the image, counted from its start, where the little-endian
// path table lies: the one among `descriptors` (sectors 16 on) whose first
// record is the root directory's (name length 1, the root's extent, parent
// 1, name 0).
std::optional<std::int64_t> pathTableSector(std::span<const std::byte> descriptors,
                                            std::int64_t rootSector) {
    for (std::size_t at = 0; at + sectorBytes <= descriptors.size(); at += sectorBytes) {
        const std::span<const std::byte> sector = descriptors.subspan(at, sectorBytes);
        if (byteAt(sector, pathNameLength) == 1 &&
            littleEndian(sector, pathExtent, 4) == rootSector &&
            littleEndian(sector, pathParent, 2) == 1 && byteAt(sector, pathName) == 0) {
            return firstDescriptorSector + static_cast<std::int64_t>(at / sectorBytes);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<IsoVolume> IsoVolume::fromDescriptors(std::span<const std::byte> descriptors) {
    for (std::size_t at = 0; at + sectorBytes <= descriptors.size(); at += sectorBytes) {
        const std::span<const std::byte> sector = descriptors.subspan(at, sectorBytes);
        if (!isDescriptor(sector)) {
            return std::nullopt;
        }
        const unsigned type = byteAt(sector, descriptorType);
        if (type == terminatorType) {
            return std::nullopt;
        }
        if (type != primaryType) {
            continue;
        }
        const std::optional<std::uint32_t> root =
            bothEndian32(sector, rootDirectoryRecord + recordExtent);
        if (!root || byteAt(sector, descriptorVersion) != 1) {
            return std::nullopt;
        }
        const std::optional<std::int64_t> inImage = pathTableSector(descriptors, *root);
        return IsoVolume{*root, inImage ? std::optional(static_cast<std::int64_t>(littleEndian(
                                                            sector, littlePathTable, 4)) -
                                                        *inImage)
                                        : std::nullopt};
    }
    return std::nullopt;
}

bool IsoVolume::readableAt(std::int64_t start, std::int64_t imageSectors) const {
    return startSector == start && rootSector >= start && rootSector < start + imageSectors;
}

} // namespace disctool
