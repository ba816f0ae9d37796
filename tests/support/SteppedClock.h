// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/DriveClock.h"

#include <algorithm>
#include <chrono>

// A drive's clock that only the test moves: a drive that sleeps on it is
// there at once, so its work takes its time while nothing waits for real.
class SteppedClock final : public emulator::DriveClock {
public:
    emulator::Clock::time_point now() const override { return now_; }
    void sleepUntil(emulator::Clock::time_point when) override { now_ = std::max(now_, when); }
    void advance(emulator::Clock::duration by) { now_ += by; }

private:
    emulator::Clock::time_point now_ = emulator::Clock::time_point(std::chrono::hours(1));
};
