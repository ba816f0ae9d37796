// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/OwnFile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace emulator {

// The commands a drive received, one line each as it arrives: the command
// descriptor block in hex, a known operation code by its name ("Blank 11 00
// 00 ..."). A test reads it to see what
// the host sent and in which order, instead of guessing from timing. The log
// is one of this user's own files, added to as it is (OwnFile).
class CommandLog {
public:
    explicit CommandLog(const std::optional<std::string>& path);

    // `cdb` holds at least the operation code.
    void record(std::span<const std::uint8_t> cdb);

private:
    OwnFile out_;
};

} // namespace emulator
