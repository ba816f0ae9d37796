// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestImage.h"

#include <algorithm>
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

Writes operator+(Writes first, const Writes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::vector<char> bytesWith(const Writes& writes, std::size_t size) {
    std::vector<char> bytes(size);
    for (const auto& [at, text] : writes) {
        std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    }
    return bytes;
}

Writes startOf(const std::string& kind) {
    const std::size_t sector16 = 16 * 2048;
    const std::string bootSignature = "\x55\xaa";
    if (kind == "udf") {
        return {{sector16, std::string("\0BEA01\x01", 7)},
                {sector16 + 2048, std::string("\0NSR02\x01", 7)},
                {sector16 + 4096, std::string("\0TEA01\x01", 7)}};
    }
    if (kind == "hfs+") {
        return {{1024, std::string("H+\0\x04", 4)}};
    }
    if (kind == "fat") {
        return {{0, std::string("\xeb\x58\x90MSDOS5.0\x00\x02\x08", 14)}, {510, bootSignature}};
    }
    if (kind == "mbr") {
        return {{0, "\x33\xc0"}, {446, "\x80"}, {510, bootSignature}};
    }
    throw std::invalid_argument("no start for " + kind);
}
