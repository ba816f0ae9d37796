// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestImage.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>
#include <sys/stat.h>

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

std::vector<char> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::vector<char> bytes(file ? static_cast<std::size_t>(file.tellg()) : 0);
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}
