// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Pacer.h"
#include "emulator/Sense.h"

#include <optional>

namespace emulator {

// Work a command goes on with after it answered, when the host asked for
// that (Immed): blanking, formatting, closing. Meanwhile commands that need
// the disc are told it is in progress, and how far it got.
class BackgroundJob {
public:
    explicit BackgroundJob(Pacer& pacer)
        : pacer_(pacer) {}

    // Runs until `done` fires: after answering when `immediate`, otherwise
    // before.
    void start(const Sense& whileRunning, Trigger done, bool immediate, const Moment& now);
    // The sense of the work still running, with its progress.
    std::optional<Sense> running(const Moment& now) const;
    void forget() { active_ = false; }

private:
    Pacer& pacer_;
    Trigger done_ = Trigger::never();
    Sense whileRunning_;
    bool active_ = false;
};

} // namespace emulator
