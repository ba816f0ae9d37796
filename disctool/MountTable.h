// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace disctool {

// The file systems mounted from a device, read from a mounts table in the
// format of /proc/self/mounts.
class MountTable {
public:
    explicit MountTable(std::string tablePath = "/proc/self/mounts");

    // Mount points of the device (a path; symbolic links and device numbers
    // are followed, so /dev/cdrom finds mounts of /dev/sr0).
    std::vector<std::string> mountPointsOf(const std::string& device) const;

private:
    std::string tablePath_;
};

} // namespace disctool
