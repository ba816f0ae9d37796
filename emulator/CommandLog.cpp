// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLog.h"

namespace emulator {

CommandLog::CommandLog(const std::optional<std::string>& path) {
    if (path) {
        out_.open(*path, std::ios::app);
    }
}

void CommandLog::record(std::span<const std::uint8_t> cdb) {
    if (!out_.is_open()) {
        return;
    }
    constexpr char digits[] = "0123456789ABCDEF";
    std::string line;
    for (const std::uint8_t byte : cdb) {
        line += line.empty() ? "" : " ";
        line += digits[byte >> 4];
        line += digits[byte & 0x0F];
    }
    // At once: the reader may be waiting for this very command.
    out_ << line << std::endl;
}

} // namespace emulator
