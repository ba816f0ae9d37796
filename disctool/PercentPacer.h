// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <optional>

namespace disctool {

// Decides when a progress figure is worth a line: whenever the whole percent
// changes, and at least every half second while it does not, so that the
// reader sees the burn is alive even while a drive flushes its cache.
class PercentPacer {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::milliseconds repeatInterval{500};

    // The whole percent to show now (negative: no figure), if any.
    std::optional<int> next(double percent, Clock::time_point now);
    void reset();

private:
    std::optional<int> shown_;
    Clock::time_point shownAt_{};
};

} // namespace disctool
