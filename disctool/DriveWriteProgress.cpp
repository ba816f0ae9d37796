// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/DriveWriteProgress.h"

#include <algorithm>

namespace disctool {

void DriveWriteProgress::start(Clock::time_point now) {
    started_ = now;
    best_ = 0;
    bestAt_ = now;
}

std::int64_t DriveWriteProgress::next(std::int64_t reported, bool allSent, std::int64_t total,
                                      Clock::time_point now) {
    if (reported > best_) {
        best_ = reported;
        bestAt_ = now;
    }
    const std::chrono::duration<double> measured = bestAt_ - started_;
    if (!allSent || best_ <= 0 || measured.count() <= 0.0) {
        return best_;
    }
    const double bytesPerSecond = static_cast<double>(best_) / measured.count();
    const std::chrono::duration<double> since = now - bestAt_;
    return std::min(total, best_ + static_cast<std::int64_t>(bytesPerSecond * since.count()));
}

} // namespace disctool
