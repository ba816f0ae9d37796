// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Writes an image of pseudo-random bytes (the same for the same size) that
// everyone may read, and returns its bytes.
std::vector<char> writeTestImage(const std::string& path, std::size_t size);

void writeFile(const std::string& path, const std::vector<char>& bytes);
std::vector<char> readWholeFile(const std::string& path);

// A primary volume descriptor of ISO 9660 (a 2048-byte sector, for sector 16
// of an image): a volume of `spaceSectors` counted from sector 0 of the disc,
// its root directory at `rootSector`.
std::string primaryVolumeDescriptor(std::uint32_t spaceSectors, std::uint32_t rootSector);

// Bytes to lay over others, each at its offset.
using Writes = std::vector<std::pair<std::size_t, std::string>>;
Writes operator+(Writes first, const Writes& second);
// `size` zero bytes with `writes` laid over them.
std::vector<char> bytesWith(const Writes& writes, std::size_t size);
// What a file system or partition table puts in the first 64 KiB of a disc,
// laid out after its format: "udf" (its volume recognition sequence), "hfs+"
// (the volume header at byte 1024), "fat" (a boot sector), "mbr".
Writes startOf(const std::string& kind);
