// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace disctool {

// Where an ISO 9660 volume expects to lie on a disc, from its primary volume
// descriptor. Its addresses are absolute: an image mastered for sector 0 is
// readable at sector 0 only; one mastered as a later session (its volume
// then spans the earlier sessions too) only at the address it was made for.
struct IsoVolume {
    std::int64_t spaceSectors = 0; // the volume's size, counted from sector 0 of the disc
    std::int64_t rootSector = 0;   // where its root directory lies

    static constexpr std::int64_t firstDescriptorByte = 16 * 2048;
    static constexpr std::size_t descriptorBytes = 16 * 2048; // sectors 16 to 31

    // The volume whose descriptors `descriptors` holds (read from sector 16
    // of an image on), or nullopt when they describe no ISO 9660 volume.
    static std::optional<IsoVolume> fromDescriptors(std::span<const std::byte> descriptors);

    // Whether a reader finds this volume when its image is written from
    // `startSector` on and takes `imageSectors`.
    bool readableAt(std::int64_t startSector, std::int64_t imageSectors) const;
};

} // namespace disctool
