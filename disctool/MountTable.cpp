// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/MountTable.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <utility>

namespace disctool {

namespace {

std::string canonical(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

bool sameBlockDevice(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           S_ISBLK(first.st_mode) && S_ISBLK(second.st_mode) && first.st_rdev == second.st_rdev;
}

} // namespace

MountTable::MountTable(std::string tablePath)
    : tablePath_(std::move(tablePath)) {}

std::string MountTable::decodeField(const std::string& field) {
    std::string decoded;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool octal = field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
                           field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7' &&
                           field[i + 3] >= '0' && field[i + 3] <= '7';
        if (octal) {
            decoded.push_back(static_cast<char>((field[i + 1] - '0') * 64 +
                                                (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
        } else {
            decoded.push_back(field[i]);
        }
    }
    return decoded;
}

std::vector<std::string> MountTable::mountPointsOf(const std::string& device) const {
    std::vector<std::string> mountPoints;
    std::ifstream table(tablePath_);
    const std::string wanted = canonical(device);
    std::string line;
    while (std::getline(table, line)) {
        // Fields are separated by single blanks; within a field the kernel
        // writes only blanks, tabs, line ends and backslashes in octal, so a
        // vertical tab or a carriage return is part of a name.
        const std::size_t sourceEnd = line.find(' ');
        if (sourceEnd == std::string::npos || line.front() != '/') {
            continue;
        }
        const std::string source = decodeField(line.substr(0, sourceEnd));
        const std::string mountPoint =
            line.substr(sourceEnd + 1, line.find(' ', sourceEnd + 1) - sourceEnd - 1);
        if (mountPoint.empty()) {
            continue;
        }
        if (canonical(source) == wanted || sameBlockDevice(source, device)) {
            mountPoints.push_back(decodeField(mountPoint));
        }
    }
    return mountPoints;
}

} // namespace disctool
