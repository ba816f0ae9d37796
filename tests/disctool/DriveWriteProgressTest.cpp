// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/DriveWriteProgress.h"

#include <gtest/gtest.h>

namespace {

using namespace disctool;
using namespace std::chrono_literals;

// Each step: what the drive reports at a time, whether all was sent, and the
// figure shown.
TEST(DriveWriteProgress, NeverFallsBackAndGoesOnAtTheDrivesRateWhileItEmptiesItsBuffer) {
    struct Step {
        std::chrono::milliseconds at;
        std::int64_t reported;
        bool allSent;
        std::int64_t shown;
    };
    const std::vector<Step> steps = {
        {0ms, 0, false, 0},         {1000ms, 1000, false, 1000},
        {1500ms, 900, false, 1000}, // a fill told later than the count sent
        {2000ms, 2000, true, 2000}, // all sent: 1000 bytes a second so far
        {2500ms, 2000, true, 2500}, // the buffer empties at that rate
        {3000ms, 1500, true, 3000}, {9000ms, 2000, true, 4000}, // never beyond the whole write
    };
    DriveWriteProgress progress;
    const DriveWriteProgress::Clock::time_point start{};
    progress.start(start);
    for (const Step& step : steps) {
        EXPECT_EQ(progress.next(step.reported, step.allSent, 4000, start + step.at), step.shown)
            << step.at.count();
    }
}

} // namespace
