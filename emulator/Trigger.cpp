// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Trigger.h"

#include <sys/stat.h>

namespace emulator {

Trigger Trigger::after(Clock::duration delay) {
    Trigger trigger(Kind::Delay);
    trigger.delay_ = delay;
    return trigger;
}

Trigger Trigger::afterPolls(std::uint64_t polls) {
    Trigger trigger(Kind::Polls);
    trigger.polls_ = polls;
    return trigger;
}

Trigger Trigger::onceExists(std::string file) {
    Trigger trigger(Kind::File);
    trigger.file_ = std::move(file);
    return trigger;
}

void Trigger::arm(const Moment& now) {
    start_ = now;
}

bool Trigger::fired(const Moment& now) const {
    switch (kind_) {
    case Kind::Never:
        return false;
    case Kind::Delay:
        return now.time - start_.time >= delay_;
    case Kind::Polls:
        return now.polls - start_.polls >= polls_;
    case Kind::File: {
        struct stat status {};
        return ::stat(file_.c_str(), &status) == 0;
    }
    }
    return false;
}

double Trigger::fraction(const Moment& now) const {
    if (fired(now)) {
        return 1.0;
    }
    if (kind_ == Kind::Delay) {
        return std::chrono::duration<double>(now.time - start_.time) /
               std::chrono::duration<double>(delay_);
    }
    if (kind_ == Kind::Polls) {
        return static_cast<double>(now.polls - start_.polls) / static_cast<double>(polls_);
    }
    return 0.0;
}

} // namespace emulator
