// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/image/UdifChunk.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace disctool {

// One partition's block table (`mish`) of a UDIF image: the sectors it
// covers, its chunks in sector order, gaps filled with zeros, and the CRC32
// of its expanded sectors when it carries one.
struct BlockTable {
    std::int64_t firstSector = 0;
    std::int64_t sectorCount = 0;
    std::vector<UdifChunk> chunks;
    std::optional<std::uint32_t> crc32;

    // The table in `bytes`, its chunks' file offsets counted from
    // `dataForkOffset`, or nullopt with `problem` saying what is wrong.
    // `lzfse` is set when a chunk is coded with LZFSE, which no one here
    // expands.
    static std::optional<BlockTable> parse(std::span<const std::byte> bytes,
                                           std::int64_t dataForkOffset, int index, bool& lzfse,
                                           std::string& problem);
};

} // namespace disctool
