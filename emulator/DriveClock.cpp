// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/DriveClock.h"

#include <thread>

namespace emulator {

Clock::time_point SteadyDriveClock::now() const {
    return Clock::now();
}

void SteadyDriveClock::sleepUntil(Clock::time_point when) {
    std::this_thread::sleep_until(when);
}

} // namespace emulator
