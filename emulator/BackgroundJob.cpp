// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/BackgroundJob.h"

#include <algorithm>

namespace emulator {

void BackgroundJob::start(const Sense& whileRunning, Trigger done, bool immediate,
                          const Moment& now) {
    done.arm(now);
    if (!immediate) {
        pacer_.waitFor(done, now.polls);
        return;
    }
    done_ = done;
    whileRunning_ = whileRunning;
    active_ = true;
}

std::optional<Sense> BackgroundJob::running(const Moment& now) const {
    if (!active_ || done_.fired(now)) {
        return std::nullopt;
    }
    Sense sense = whileRunning_;
    sense.progress =
        static_cast<std::uint16_t>(std::clamp(done_.fraction(now), 0.0, 1.0) * 65535.0);
    return sense;
}

} // namespace emulator
