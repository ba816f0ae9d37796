// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace disctool {

// How a UDIF chunk stores its sectors.
enum class ChunkCoding { Zeros, Raw, Adc, Zlib, Bzip2, Lzma };

// One run of the expanded image and where its bytes lie in the file, both
// in bytes from the start. A run of zeros has no bytes in the file.
struct UdifChunk {
    ChunkCoding coding = ChunkCoding::Zeros;
    std::int64_t imageOffset = 0;
    std::int64_t imageLength = 0;
    std::int64_t fileOffset = 0;
    std::int64_t fileLength = 0;
    // The block table the run belongs to; -1 for a gap between tables.
    int table = -1;
    // Whether the table's CRC32 covers the run: not free space, nor sectors
    // no chunk names, whose bytes the table leaves undefined.
    bool checksummed = true;
};

} // namespace disctool
