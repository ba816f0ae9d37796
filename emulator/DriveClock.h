// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Trigger.h"

namespace emulator {

// The drive's time: what its clock says, and waiting on it. The emulator
// runs on the steady clock; a test puts in a clock it steps itself, so that
// a drive's work takes its time without anything waiting for real.
class DriveClock {
public:
    virtual ~DriveClock() = default;
    virtual Clock::time_point now() const = 0;
    virtual void sleepUntil(Clock::time_point when) = 0;
};

class SteadyDriveClock final : public DriveClock {
public:
    Clock::time_point now() const override;
    void sleepUntil(Clock::time_point when) override;
};

} // namespace emulator
