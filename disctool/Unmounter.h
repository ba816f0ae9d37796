// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

namespace disctool {

// Asks the desktop to unmount a disc it mounted (`udisksctl unmount -b
// DEVICE`), so that the drive can be grabbed. Runs without a shell and never
// waits for a password prompt.
class Unmounter {
public:
    explicit Unmounter(std::chrono::milliseconds patience = std::chrono::seconds(15));

    // True when udisksctl ran and reported success.
    bool unmount(const std::string& device) const;

private:
    std::chrono::milliseconds patience_;
};

} // namespace disctool
