// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <span>
#include <string>

namespace emulator {

// The commands a drive received, one line each as it arrives: the command
// descriptor block in hex ("A1 11 00 00 ..."). A test reads it to see what
// the host sent and in which order, instead of guessing from timing.
class CommandLog {
public:
    explicit CommandLog(const std::optional<std::string>& path);

    void record(std::span<const std::uint8_t> cdb);

private:
    std::ofstream out_;
};

} // namespace emulator
