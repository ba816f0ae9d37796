// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
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
