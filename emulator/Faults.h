// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/DriveConfig.h"
#include "emulator/Pacer.h"

#include <cstdint>
#include <optional>

namespace emulator {

// The faults a device id asks for, where the commands meet them. The sectors
// of write and read faults count from the start of the track written or
// read (`origin`); a command covers `count` sectors from `lba`. A stall holds
// the command once, until `resume` fires.
class Faults {
public:
    Faults(const DriveConfig& config, Pacer& pacer)
        : config_(config)
        , pacer_(pacer) {}

    // Where a write stops: the drive vanishes, or the sector fails.
    struct WriteStop {
        std::optional<std::int64_t> lost;
        std::optional<std::int64_t> failed;
    };

    void command(std::uint8_t opcode);
    WriteStop write(std::int64_t origin, std::int64_t lba, std::int64_t count);
    void read(std::int64_t origin, std::int64_t lba, std::int64_t count);
    // The sector of a read that comes back wrong from the disc.
    std::optional<std::int64_t> badSector(std::int64_t origin, std::int64_t lba,
                                          std::int64_t count) const;
    bool unreadable(std::int64_t lba) const;

private:
    void stall();

    const DriveConfig& config_;
    Pacer& pacer_;
    bool stalledOn_ = false;
    bool stalledWrite_ = false;
    bool stalledRead_ = false;
};

} // namespace emulator
