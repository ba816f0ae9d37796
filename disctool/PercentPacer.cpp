// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/PercentPacer.h"

#include <algorithm>
#include <cmath>

namespace disctool {

std::optional<int> PercentPacer::next(double percent, Clock::time_point now) {
    const int whole = percent < 0.0 ? -1 : static_cast<int>(std::floor(std::min(percent, 100.0)));
    if (shown_ && *shown_ == whole && now - shownAt_ < repeatInterval) {
        return std::nullopt;
    }
    shown_ = whole;
    shownAt_ = now;
    return whole;
}

void PercentPacer::reset() {
    shown_.reset();
}

} // namespace disctool
