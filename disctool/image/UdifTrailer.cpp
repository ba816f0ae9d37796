// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/UdifTrailer.h"

#include "disctool/image/BigEndian.h"
#include "disctool/image/UdifChecksum.h"

#include <cstring>

namespace disctool {

std::optional<UdifTrailer> UdifTrailer::parse(std::span<const std::byte> last512) {
    if (last512.size() != bytes || std::memcmp(last512.data(), "koly", 4) != 0) {
        return std::nullopt;
    }
    UdifTrailer trailer;
    trailer.dataForkOffset = bigEndianAt<std::uint64_t>(last512, 24);
    trailer.dataForkLength = bigEndianAt<std::uint64_t>(last512, 32);
    trailer.segmentCount = bigEndianAt<std::uint32_t>(last512, 60);
    trailer.dataForkCrc32 = udifCrc32(last512.subspan(80, udifChecksumBytes));
    trailer.xmlOffset = bigEndianAt<std::uint64_t>(last512, 216);
    trailer.xmlLength = bigEndianAt<std::uint64_t>(last512, 224);
    trailer.sectorCount = bigEndianAt<std::uint64_t>(last512, 492);
    return trailer;
}

} // namespace disctool
