// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Bytes.h"
#include "emulator/Disc.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace emulator {

// What a drive reports about the disc it holds. Each returns the whole reply;
// nullopt means the request names something the disc does not have.

// READ DISC INFORMATION, standard disc information (MMC-5 6.22.3.1).
Bytes discInformation(const Disc& disc);
// READ TRACK INFORMATION (MMC-5 6.27): by LBA (type 0), track (1) or session (2).
std::optional<Bytes> trackInformation(const Disc& disc, int addressType, std::int64_t value);
// READ TOC/PMA/ATIP (MMC-5 6.26): formatted TOC (0), session information (1),
// raw TOC (2, CD only) and ATIP (4, CD only).
std::optional<Bytes> tableOfContents(const Disc& disc, int format, bool msf, int number);
// READ CAPACITY (MMC-5 6.23): the last readable sector.
Bytes readCapacity(const Disc& disc);
// The formats a drive offers for the disc (MMC-5 6.24.3.3, format types of
// Table 472), which FORMAT UNIT must choose from.
struct FormatDescriptor {
    std::uint8_t type;
    std::int64_t blocks;
    std::uint32_t parameter;
};
std::vector<FormatDescriptor> formatDescriptors(const Disc& disc);
// READ FORMAT CAPACITIES (MMC-5 6.24).
Bytes formatCapacities(const Disc& disc);
// READ DISC STRUCTURE (MMC-5 6.23): DVD physical format (00h) and the list
// of structures (FFh).
std::optional<Bytes> discStructure(const Disc& disc, int mediaType, int format);

// Where the lead-in of a blank CD starts (ATIP, e.g. 97:26:66).
constexpr std::int64_t atipLeadInStart = -11634;

} // namespace emulator
