// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/image/UdifChunk.h"
#include "disctool/image/UdifTrailer.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace disctool {

// Where each byte of a UDIF image's expanded disc image comes from: its
// chunks in the order of both the expanded image and the file, gaps filled
// with zeros, and the CRC32 each block table carries.
struct UdifLayout {
    enum class Problem { None, Damaged, Lzfse };

    std::vector<UdifChunk> chunks;
    std::vector<std::optional<std::uint32_t>> tableCrc32s;
    std::int64_t imageBytes = 0;

    // The layout the property list `xml` describes for an image whose data
    // fork ends at `dataForkEnd`, or nullopt with `problem` and, when
    // damaged, `detail` saying what is wrong.
    static std::optional<UdifLayout> read(std::span<const std::byte> xml,
                                          const UdifTrailer& trailer, std::int64_t dataForkEnd,
                                          Problem& problem, std::string& detail);
};

} // namespace disctool
