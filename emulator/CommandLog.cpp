// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/CommandLog.h"

#include "emulator/Opcode.h"

#include <fcntl.h>
#include <unistd.h>

namespace emulator {

CommandLog::CommandLog(const std::optional<std::string>& path) {
    if (path) {
        out_ = OwnFile::open(*path, O_WRONLY | O_APPEND | O_CREAT);
    }
}

void CommandLog::record(std::span<const std::uint8_t> cdb) {
    if (!out_.isValid()) {
        return;
    }
    constexpr char digits[] = "0123456789ABCDEF";
    std::string line;
    for (const std::uint8_t byte : cdb) {
        line += line.empty() ? "" : " ";
        line += digits[byte >> 4];
        line += digits[byte & 0x0F];
    }
    if (const std::optional<std::string_view> name = opcodeName(cdb.front())) {
        line.replace(0, 2, *name);
    }
    // At once, in one write: the reader may be waiting for this very command.
    line += '\n';
    [[maybe_unused]] const ssize_t written = ::write(out_.fd(), line.data(), line.size());
}

} // namespace emulator
