// SPDX-License-Identifier: GPL-3.0-or-later
#include "MediumDecision.h"

#include "Speed.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace disctool;

constexpr std::int64_t megabyte = 1024 * 1024;

Medium disc(DiscStatus status, bool erasable, std::int64_t freeBytes) {
    Medium medium;
    medium.status = status;
    medium.erasable = erasable;
    medium.freeBytes = freeBytes;
    return medium;
}

TEST(MediumDecision, EveryStateWithAndWithoutErase) {
    struct Case {
        std::string name;
        Medium medium;
        bool erase;
        MediumDecision expected;
    };
    const std::vector<Case> cases = {
        {"no disc", disc(DiscStatus::Empty, false, 0), false, MediumDecision::Wait},
        {"disc not assessed yet", disc(DiscStatus::Unready, false, 0), true, MediumDecision::Wait},
        {"blank", disc(DiscStatus::Blank, false, 700 * megabyte), false, MediumDecision::Write},
        {"blank is never erased", disc(DiscStatus::Blank, false, 700 * megabyte), true,
         MediumDecision::Write},
        {"blank too small", disc(DiscStatus::Blank, false, megabyte), false,
         MediumDecision::NoSpace},
        {"appendable gets a session", disc(DiscStatus::Appendable, false, 600 * megabyte), false,
         MediumDecision::Write},
        {"appendable too full", disc(DiscStatus::Appendable, false, megabyte), false,
         MediumDecision::NoSpace},
        {"appendable rewritable erased on request", disc(DiscStatus::Appendable, true, megabyte),
         true, MediumDecision::Erase},
        {"appendable write-once cannot be erased", disc(DiscStatus::Appendable, false, megabyte),
         true, MediumDecision::NotEraseable},
        {"full rewritable erased on request", disc(DiscStatus::Full, true, 0), true,
         MediumDecision::Erase},
        {"full rewritable without erase", disc(DiscStatus::Full, true, 0), false,
         MediumDecision::NotWritable},
        {"full write-once with erase", disc(DiscStatus::Full, false, 0), true,
         MediumDecision::NotEraseable},
        {"full write-once", disc(DiscStatus::Full, false, 0), false, MediumDecision::NotWritable},
        {"unsuitable", disc(DiscStatus::Unsuitable, false, 0), false, MediumDecision::NotWritable},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decideMedium(c.medium, c.erase, 10 * megabyte), c.expected) << c.name;
    }
}

TEST(MediumDecision, TheImageNeedsWholeSectors) {
    // 2049 bytes take two sectors of 2048.
    EXPECT_EQ(decideMedium(disc(DiscStatus::Blank, false, 4096), false, 2049),
              MediumDecision::Write);
    EXPECT_EQ(decideMedium(disc(DiscStatus::Blank, false, 4095), false, 2049),
              MediumDecision::NoSpace);
    EXPECT_EQ(decideMedium(disc(DiscStatus::Blank, false, 4096), false, 4097),
              MediumDecision::NoSpace);
}

TEST(Speed, MultiplesOfTheMediumsOneX) {
    struct Case {
        MediumFamily family;
        int multiple;
        int expected;
    };
    const std::vector<Case> cases = {
        {MediumFamily::CD, 1, 177},    {MediumFamily::CD, 4, 706},     {MediumFamily::CD, 24, 4234},
        {MediumFamily::DVD, 1, 1385},  {MediumFamily::DVD, 16, 22160}, {MediumFamily::BD, 2, 8992},
        {MediumFamily::BD, 16, 71936}, {MediumFamily::CD, 0, 0},       {MediumFamily::File, 8, 0},
        {MediumFamily::Unknown, 4, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kilobytesPerSecond(c.family, c.multiple), c.expected)
            << static_cast<int>(c.family) << " x" << c.multiple;
    }
}

} // namespace
