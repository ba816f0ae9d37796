// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/UdifLayout.h"

#include "disctool/image/BlockTable.h"
#include "disctool/image/UdifLimits.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <plist/plist.h>

namespace disctool {

namespace {

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

struct DataFree {
    void operator()(char* data) const { std::free(data); }
};

// The block tables under resource-fork/blkx, each a Data entry; nullopt
// when the property list holds none.
std::optional<std::vector<BlockTable>> tablesOf(std::span<const std::byte> xml,
                                                const UdifTrailer& trailer, bool& lzfse,
                                                std::string& detail) {
    plist_t parsed = nullptr;
    plist_from_xml(reinterpret_cast<const char*>(xml.data()),
                   static_cast<std::uint32_t>(xml.size()), &parsed);
    const Plist root(parsed);
    plist_t blkx = nullptr;
    if (root && plist_get_node_type(root.get()) == PLIST_DICT) {
        plist_t forks = plist_dict_get_item(root.get(), "resource-fork");
        if (forks && plist_get_node_type(forks) == PLIST_DICT) {
            blkx = plist_dict_get_item(forks, "blkx");
        }
    }
    if (!blkx || plist_get_node_type(blkx) != PLIST_ARRAY || plist_array_get_size(blkx) == 0) {
        detail = "its property list names no block tables";
        return std::nullopt;
    }
    std::vector<BlockTable> tables;
    for (std::uint32_t i = 0; i < plist_array_get_size(blkx); ++i) {
        plist_t entry = plist_array_get_item(blkx, i);
        plist_t data = entry && plist_get_node_type(entry) == PLIST_DICT
                           ? plist_dict_get_item(entry, "Data")
                           : nullptr;
        if (!data || plist_get_node_type(data) != PLIST_DATA) {
            detail = "a block table in its property list has no data";
            return std::nullopt;
        }
        char* bytes = nullptr;
        std::uint64_t length = 0;
        plist_get_data_val(data, &bytes, &length);
        const std::unique_ptr<char, DataFree> owned(bytes);
        std::optional<BlockTable> table = BlockTable::parse(
            std::as_bytes(std::span(bytes, bytes ? length : 0)),
            static_cast<std::int64_t>(trailer.dataForkOffset), static_cast<int>(i), lzfse, detail);
        if (!table) {
            return std::nullopt;
        }
        tables.push_back(std::move(*table));
    }
    return tables;
}

} // namespace

std::optional<UdifLayout> UdifLayout::read(std::span<const std::byte> xml,
                                           const UdifTrailer& trailer, std::int64_t dataForkEnd,
                                           Problem& problem, std::string& detail) {
    bool lzfse = false;
    std::optional<std::vector<BlockTable>> tables = tablesOf(xml, trailer, lzfse, detail);
    if (!tables) {
        problem = lzfse ? Problem::Lzfse : Problem::Damaged;
        return std::nullopt;
    }
    problem = Problem::Damaged;
    std::sort(tables->begin(), tables->end(), [](const BlockTable& a, const BlockTable& b) {
        return a.firstSector < b.firstSector;
    });
    UdifLayout layout;
    layout.tableCrc32s.resize(tables->size());
    std::int64_t imageEnd = 0;
    std::int64_t fileEnd = static_cast<std::int64_t>(trailer.dataForkOffset);
    for (BlockTable& table : *tables) {
        const std::int64_t start = table.firstSector * udifSectorBytes;
        if (start < imageEnd) {
            detail = "two block tables overlap";
            return std::nullopt;
        }
        if (start > imageEnd) {
            layout.chunks.push_back(
                {ChunkCoding::Zeros, imageEnd, start - imageEnd, 0, 0, -1, true});
        }
        for (const UdifChunk& chunk : table.chunks) {
            if (chunk.coding == ChunkCoding::Zeros) {
                layout.chunks.push_back(chunk);
                continue;
            }
            // One pass through the file expands the image in order.
            if (chunk.fileOffset < fileEnd) {
                detail = "its chunks overlap or are not stored in the order of their sectors";
                return std::nullopt;
            }
            if (chunk.fileOffset > dataForkEnd ||
                chunk.fileLength > dataForkEnd - chunk.fileOffset) {
                detail = "a chunk lies outside the file's data";
                return std::nullopt;
            }
            fileEnd = chunk.fileOffset + chunk.fileLength;
            // A stored chunk may be any size; it is read in pieces of bounded size.
            for (std::int64_t done = 0; done < chunk.imageLength; done += udifMostChunkBytes) {
                UdifChunk piece = chunk;
                piece.imageOffset += done;
                piece.imageLength = std::min(udifMostChunkBytes, chunk.imageLength - done);
                if (chunk.coding == ChunkCoding::Raw) {
                    piece.fileOffset += done;
                    piece.fileLength = piece.imageLength;
                }
                layout.chunks.push_back(piece);
            }
        }
        if (!table.chunks.empty()) {
            layout.tableCrc32s[static_cast<std::size_t>(table.chunks.front().table)] = table.crc32;
        }
        imageEnd = start + table.sectorCount * udifSectorBytes;
    }
    if (imageEnd == 0) {
        detail = "it holds no sectors";
        return std::nullopt;
    }
    layout.imageBytes = imageEnd;
    problem = Problem::None;
    return layout;
}

} // namespace disctool
