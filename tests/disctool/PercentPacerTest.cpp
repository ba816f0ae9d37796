// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/PercentPacer.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace disctool;

using namespace std::chrono_literals;

TEST(PercentPacer, ShowsEachNewWholePercentAndRepeatsAStillOneEveryHalfSecond) {
    PercentPacer pacer;
    const PercentPacer::Clock::time_point start{};
    EXPECT_EQ(pacer.next(-1.0, start), std::optional<int>(-1));
    EXPECT_EQ(pacer.next(-1.0, start + 100ms), std::nullopt);
    EXPECT_EQ(pacer.next(0.4, start + 150ms), std::optional<int>(0));
    EXPECT_EQ(pacer.next(0.9, start + 200ms), std::nullopt);
    EXPECT_EQ(pacer.next(1.0, start + 210ms), std::optional<int>(1));
    EXPECT_EQ(pacer.next(1.5, start + 709ms), std::nullopt);
    EXPECT_EQ(pacer.next(1.5, start + 710ms), std::optional<int>(1));
    EXPECT_EQ(pacer.next(37.2, start + 720ms), std::optional<int>(37));
    EXPECT_EQ(pacer.next(150.0, start + 730ms), std::optional<int>(100));
}

TEST(PercentPacer, StartsAfreshAfterAReset) {
    PercentPacer pacer;
    const PercentPacer::Clock::time_point start{};
    EXPECT_EQ(pacer.next(100.0, start), std::optional<int>(100));
    pacer.reset();
    EXPECT_EQ(pacer.next(100.0, start + 1ms), std::optional<int>(100));
}

} // namespace
