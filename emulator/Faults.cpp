// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Faults.h"

namespace emulator {

namespace {

// The sector `sector` counted from `origin`, when the command covers it.
std::optional<std::int64_t> within(const std::optional<std::int64_t>& sector, std::int64_t origin,
                                   std::int64_t lba, std::int64_t count) {
    if (!sector || origin + *sector < lba || origin + *sector >= lba + count) {
        return std::nullopt;
    }
    return origin + *sector;
}

} // namespace

void Faults::stall() {
    Trigger resume = *config_.resume;
    resume.arm(pacer_.now(0));
    pacer_.waitFor(resume, 0);
}

void Faults::command(std::uint8_t opcode) {
    if (config_.stallOn == opcode && !stalledOn_) {
        stalledOn_ = true;
        stall();
    }
}

Faults::WriteStop Faults::write(std::int64_t origin, std::int64_t lba, std::int64_t count) {
    if (within(config_.stallAt, origin, lba, count) && !stalledWrite_) {
        stalledWrite_ = true;
        stall();
    }
    return {within(config_.lostAt, origin, lba, count), within(config_.failAt, origin, lba, count)};
}

void Faults::read(std::int64_t origin, std::int64_t lba, std::int64_t count) {
    if (within(config_.stallReadAt, origin, lba, count) && !stalledRead_) {
        stalledRead_ = true;
        stall();
    }
}

std::optional<std::int64_t> Faults::badSector(std::int64_t origin, std::int64_t lba,
                                              std::int64_t count) const {
    return within(config_.badSector, origin, lba, count);
}

bool Faults::unreadable(std::int64_t lba) const {
    return config_.unreadable && config_.unreadable->overlaps(lba, 1);
}

} // namespace emulator
