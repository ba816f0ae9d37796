// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/BlockTable.h"

#include "disctool/image/BigEndian.h"
#include "disctool/image/UdifChecksum.h"
#include "disctool/image/UdifLimits.h"

#include <algorithm>
#include <cstring>

namespace disctool {

namespace {

constexpr std::size_t headerBytes = 204;
constexpr std::size_t chunkEntryBytes = 40;

constexpr std::uint32_t zeroFill = 0x00000000;
constexpr std::uint32_t raw = 0x00000001;
constexpr std::uint32_t ignored = 0x00000002;
constexpr std::uint32_t comment = 0x7ffffffe;
constexpr std::uint32_t adc = 0x80000004;
constexpr std::uint32_t zlib = 0x80000005;
constexpr std::uint32_t bzip2 = 0x80000006;
constexpr std::uint32_t lzfse = 0x80000007;
constexpr std::uint32_t lzma = 0x80000008;
constexpr std::uint32_t end = 0xffffffff;

std::optional<ChunkCoding> codingOf(std::uint32_t type) {
    switch (type) {
    case zeroFill:
    case ignored:
        return ChunkCoding::Zeros;
    case raw:
        return ChunkCoding::Raw;
    case adc:
        return ChunkCoding::Adc;
    case zlib:
        return ChunkCoding::Zlib;
    case bzip2:
        return ChunkCoding::Bzip2;
    case lzma:
        return ChunkCoding::Lzma;
    default:
        return std::nullopt;
    }
}

// Room for what a chunk's coder may add to data it cannot shrink.
constexpr std::int64_t codingOverhead(std::int64_t imageLength) {
    return imageLength / 8 + 64 * 1024;
}

} // namespace

std::optional<BlockTable> BlockTable::parse(std::span<const std::byte> bytes,
                                            std::int64_t dataForkOffset, int index, bool& lzfseSeen,
                                            std::string& problem) {
    if (bytes.size() < headerBytes || std::memcmp(bytes.data(), "mish", 4) != 0) {
        problem = "a block table is not one";
        return std::nullopt;
    }
    const std::uint64_t firstSector = bigEndianAt<std::uint64_t>(bytes, 8);
    const std::uint64_t sectorCount = bigEndianAt<std::uint64_t>(bytes, 16);
    const std::uint64_t dataOffset = bigEndianAt<std::uint64_t>(bytes, 24);
    const std::uint32_t chunkCount = bigEndianAt<std::uint32_t>(bytes, 200);
    if (firstSector > udifMostSectors || sectorCount > udifMostSectors - firstSector) {
        problem = "a block table claims more sectors than any disc holds";
        return std::nullopt;
    }
    if (dataOffset > udifMostFileBytes) {
        problem = "a block table's data lies outside the file";
        return std::nullopt;
    }
    if (chunkCount > (bytes.size() - headerBytes) / chunkEntryBytes) {
        problem = "a block table ends before its last chunk";
        return std::nullopt;
    }
    BlockTable table;
    table.firstSector = static_cast<std::int64_t>(firstSector);
    table.sectorCount = static_cast<std::int64_t>(sectorCount);
    table.crc32 = udifCrc32(bytes.subspan(64, udifChecksumBytes));
    constexpr std::int64_t sector = udifSectorBytes;
    std::int64_t covered = 0; // sectors of the table laid out so far
    for (std::uint32_t i = 0; i < chunkCount; ++i) {
        const auto entry = bytes.subspan(headerBytes + i * chunkEntryBytes, chunkEntryBytes);
        const std::uint32_t type = bigEndianAt<std::uint32_t>(entry, 0);
        if (type == end) {
            break;
        }
        if (type == comment) {
            continue;
        }
        if (type == lzfse) {
            lzfseSeen = true;
            return std::nullopt;
        }
        const std::optional<ChunkCoding> coding = codingOf(type);
        if (!coding) {
            problem = "a chunk has an unknown kind";
            return std::nullopt;
        }
        const std::uint64_t first = bigEndianAt<std::uint64_t>(entry, 8);
        const std::uint64_t count = bigEndianAt<std::uint64_t>(entry, 16);
        const std::uint64_t fileOffset = bigEndianAt<std::uint64_t>(entry, 24);
        const std::uint64_t fileLength = bigEndianAt<std::uint64_t>(entry, 32);
        if (first > sectorCount || count > sectorCount - first) {
            problem = "a chunk lies outside its block table";
            return std::nullopt;
        }
        if (static_cast<std::int64_t>(first) < covered) {
            problem = "two chunks overlap";
            return std::nullopt;
        }
        if (count == 0) {
            continue;
        }
        if (static_cast<std::int64_t>(first) > covered) {
            table.chunks.push_back({ChunkCoding::Zeros, (table.firstSector + covered) * sector,
                                    (static_cast<std::int64_t>(first) - covered) * sector, 0, 0,
                                    index, false});
        }
        UdifChunk chunk{*coding,
                        (table.firstSector + static_cast<std::int64_t>(first)) * sector,
                        static_cast<std::int64_t>(count) * sector,
                        0,
                        0,
                        index,
                        true};
        if (*coding != ChunkCoding::Zeros) {
            if (fileOffset > udifMostFileBytes || fileLength > udifMostFileBytes) {
                problem = "a chunk lies outside the file";
                return std::nullopt;
            }
            chunk.fileOffset = dataForkOffset + static_cast<std::int64_t>(dataOffset + fileOffset);
            chunk.fileLength = static_cast<std::int64_t>(fileLength);
            const bool stored = *coding == ChunkCoding::Raw;
            if (stored ? chunk.fileLength != chunk.imageLength
                       : chunk.imageLength > udifMostChunkBytes ||
                             chunk.fileLength >
                                 chunk.imageLength + codingOverhead(chunk.imageLength)) {
                problem = stored ? "a stored chunk's length differs from its sectors'"
                                 : "a chunk is larger than any image holds";
                return std::nullopt;
            }
        }
        chunk.checksummed = type != ignored;
        chunk.checksummed = type != ignored;
        table.chunks.push_back(chunk);
        covered = static_cast<std::int64_t>(first + count);
    }
    if (covered < table.sectorCount) {
        table.chunks.push_back({ChunkCoding::Zeros, (table.firstSector + covered) * sector,
                                (table.sectorCount - covered) * sector, 0, 0, index, false});
    }
    return table;
}

} // namespace disctool
