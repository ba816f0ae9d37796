// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/MountTable.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mntent.h>
#include <sys/stat.h>
#include <utility>

namespace disctool {

namespace {

// A line of the kernel's table holds two paths of up to PATH_MAX bytes, each
// at most four times as long escaped, and the options after them.
constexpr std::size_t lineCapacity = 16 * PATH_MAX;

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

std::vector<std::string> MountTable::mountPointsOf(const std::string& device) const {
    std::vector<std::string> mountPoints;
    const std::unique_ptr<FILE, decltype(&::endmntent)> table(::setmntent(tablePath_.c_str(), "r"),
                                                              &::endmntent);
    if (!table) {
        return mountPoints;
    }
    const std::string wanted = canonical(device);
    std::vector<char> line(lineCapacity);
    mntent entry{};
    // getmntent_r decodes the octal escapes the kernel writes in a field.
    while (::getmntent_r(table.get(), &entry, line.data(), static_cast<int>(line.size())) !=
           nullptr) {
        // Only a path names a device; "proc" or "server:/export" do not.
        const std::string source = entry.mnt_fsname;
        const std::string mountPoint = entry.mnt_dir;
        if (!source.starts_with('/') || mountPoint.empty()) {
            continue;
        }
        if (canonical(source) == wanted || sameBlockDevice(source, device)) {
            mountPoints.push_back(mountPoint);
        }
    }
    return mountPoints;
}

} // namespace disctool
