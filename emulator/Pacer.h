// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/DriveClock.h"

#include <cstdint>

namespace emulator {

// Takes the time the drive's work needs, on the drive's clock, and keeps to
// the schedule: a command that starts late does not slow the whole job down.
class Pacer {
public:
    explicit Pacer(DriveClock& clock)
        : clock_(clock) {}

    Moment now(std::uint64_t polls) const { return Moment{clock_.now(), polls}; }
    // Work the host waits for; `buffered`: how much of it the drive's buffer
    // lets the host skip, to be drained later.
    void runFor(Clock::duration duration, Clock::duration buffered = {});
    // Until all that was written is on the disc.
    void drainBuffer();
    // How far the drive's work runs behind what the host was told is done:
    // what its buffer still holds, in time.
    Clock::duration behind() const;
    // Until `trigger` fires; not for one that counts the host's commands,
    // which a drive busy with one command never gets.
    void waitFor(const Trigger& trigger, std::uint64_t polls);

private:
    DriveClock& clock_;
    Clock::time_point paced_{};
};

} // namespace emulator
