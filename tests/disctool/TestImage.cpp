// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestImage.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <sys/stat.h>
#include <utility>

std::vector<char> writeTestImage(const std::string& path, std::size_t size) {
    std::mt19937 random(static_cast<std::mt19937::result_type>(size));
    std::vector<char> bytes(size);
    for (char& byte : bytes) {
        byte = static_cast<char>(random() & 0xff);
    }
    writeFile(path, bytes);
    return bytes;
}

void writeFile(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
    file.close();
    ::chmod(path.c_str(), 0644);
}

std::string primaryVolumeDescriptor(std::uint32_t spaceSectors, std::uint32_t rootSector) {
    std::string sector(2048, '\0');
    sector.replace(0, 7, "\001CD001\001");
    // 32-bit numbers are written both ways: little-endian, then big-endian.
    for (const auto& [at, value] : {std::pair{80, spaceSectors}, std::pair{158, rootSector}}) {
        for (int i = 0; i < 4; ++i) {
            sector[at + i] = static_cast<char>(value >> (8 * i));
            sector[at + 7 - i] = static_cast<char>(value >> (8 * i));
        }
    }
    return sector;
}

std::vector<char> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
