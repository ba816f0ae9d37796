// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "iso9660/VolumeLayout.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace disctool {

// Where an ISO 9660 volume was mastered to lie on a disc. Its addresses are
// absolute: an image mastered for sector 0 is readable at sector 0 only; one
// mastered as a later session only at the address it was made for. A reader
// finds the tree through the root directory's record and the path table, so
// those decide: the path table's address, less the sector of the image it
// really lies in, is where the image was made to start. The volume space
// size does not decide (mastering tools write the session's own size there).
struct IsoVolume {
    std::int64_t rootSector = 0; // where its root directory lies
    // Where the image was mastered to start; nullopt when its path table
    // does not lie among the sectors read with the descriptors.
    std::optional<std::int64_t> startSector;

    static constexpr std::int64_t firstDescriptorByte =
        iso9660::firstDescriptorSector * iso9660::sectorBytes;
    static constexpr std::size_t descriptorBytes =
        iso9660::descriptorSectors * iso9660::sectorBytes;

    // The volume whose descriptors `descriptors` holds (read from sector 16
    // of an image on), or nullopt when they describe no ISO 9660 volume.
    static std::optional<IsoVolume> fromDescriptors(std::span<const std::byte> descriptors);

    // Whether a reader finds this volume's tree when its image is written
    // from `start` on and takes `imageSectors`.
    bool readableAt(std::int64_t start, std::int64_t imageSectors) const;
};

} // namespace disctool
