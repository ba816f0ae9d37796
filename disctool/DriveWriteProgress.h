// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>

namespace disctool {

// How much of a write the drive has put on the disc, from what it reports:
// what it was sent less what its buffer holds, as it last said. The figure
// never falls back (the buffer's fill comes later than the count of what was
// sent). Once all was sent the drive is no longer asked while it empties its
// buffer, so the figure goes on at the rate the drive showed, up to the end.
class DriveWriteProgress {
public:
    using Clock = std::chrono::steady_clock;

    void start(Clock::time_point now);
    std::int64_t next(std::int64_t reported, bool allSent, std::int64_t total,
                      Clock::time_point now);

private:
    Clock::time_point started_{};
    std::int64_t best_ = 0;
    Clock::time_point bestAt_{};
};

} // namespace disctool
