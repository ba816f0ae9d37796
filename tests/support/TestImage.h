// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Writes an image of pseudo-random bytes (the same for the same size) that
// everyone may read, and returns its bytes.
std::vector<char> writeTestImage(const std::string& path, std::size_t size);

void writeFile(const std::string& path, const std::vector<char>& bytes);
std::vector<char> readWholeFile(const std::string& path);
