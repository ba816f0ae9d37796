// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/ListedBurner.h"

#include <string>
#include <vector>

namespace disctool {

// The optical drives of the machine, read from sysfs without opening any of
// them: a drive that is busy (a burn still aborting, a mounted disc) cannot
// stall the listing. Drives the user may not open are listed and marked.
class Listing {
public:
    explicit Listing(std::string sysfsRoot = "/sys", std::string deviceRoot = "/dev");

    std::vector<ListedBurner> opticalDrives() const;

    // The bus a drive hangs on, from its resolved sysfs path.
    static std::string transportOf(const std::string& sysfsDevicePath);

private:
    std::string sysfsRoot_;
    std::string deviceRoot_;
};

} // namespace disctool
