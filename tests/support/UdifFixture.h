// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Apple UDIF images (.dmg) made for tests, as hdiutil lays them out: chunks
// in the order of their sectors, each block table's CRC32 and the data
// fork's, the property list and the `koly` trailer.
namespace udiffixture {

enum class Coding : std::uint32_t {
    Zeros = 0x00000000,
    Raw = 0x00000001,
    Ignored = 0x00000002,
    Adc = 0x80000004,
    Zlib = 0x80000005,
    Bzip2 = 0x80000006,
    Lzfse = 0x80000007,
    Xz = 0x80000008,
};

struct Chunk {
    Coding coding = Coding::Raw;
    std::uint64_t sectors = 0; // of 512 bytes
};

struct Table {
    std::string name;
    std::vector<Chunk> chunks;
    // Sectors beyond the chunks, which read as zeros.
    std::uint64_t trailingSectors = 0;
};

struct Options {
    std::uint32_t segmentCount = 1;
    bool withChecksums = true;
    // Changes to each block table (its `mish` bytes, chunks from byte 204 in
    // 40-byte entries) and to the property list, as a crafted image has them.
    std::function<void(std::vector<char>& mish)> editTable;
    std::function<void(std::string& xml)> editPropertyList;
    // And to the whole file, trailer included.
    std::function<void(std::vector<char>& file)> editFile = nullptr;
};

// Writes a big-endian number of `bytes` bytes at `at`.
void putBig(std::vector<char>& out, std::size_t at, std::uint64_t value, int bytes);

struct Image {
    std::vector<char> file;     // the .dmg
    std::vector<char> expanded; // the disc image it holds
};

// An image of `tables` one after the other, their sectors filled from
// `content` (repeated as needed; runs of zeros stay zeros).
Image make(const std::vector<Table>& tables, const std::vector<char>& content,
           const Options& options = {});

} // namespace udiffixture
