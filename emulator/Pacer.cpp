// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Pacer.h"

#include <algorithm>

namespace emulator {

using namespace std::chrono_literals;

void Pacer::runFor(Clock::duration duration, Clock::duration buffered) {
    if (duration <= Clock::duration::zero()) {
        return;
    }
    paced_ = std::max(clock_.now() - 100ms, paced_) + duration;
    clock_.sleepUntil(paced_ - buffered);
}

void Pacer::drainBuffer() {
    clock_.sleepUntil(paced_);
}

Clock::duration Pacer::behind() const {
    return std::max(Clock::duration::zero(), paced_ - clock_.now());
}

void Pacer::waitFor(const Trigger& trigger, std::uint64_t polls) {
    if (trigger.countsPolls()) {
        return;
    }
    while (!trigger.fired(now(polls))) {
        clock_.sleepUntil(clock_.now() + 10ms);
    }
}

} // namespace emulator
