// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatedDriveConfig.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace disctool;

using namespace std::chrono_literals;

SimulatedDriveConfig parsed(const std::string& id) {
    std::string problem;
    const std::optional<SimulatedDriveConfig> config = SimulatedDriveConfig::parse(id, problem);
    EXPECT_TRUE(config.has_value()) << id << ": " << problem;
    return config.value_or(SimulatedDriveConfig{});
}

TEST(SimulatedDriveConfig, ABareIdIsOneBlankCdR) {
    const SimulatedDriveConfig config = parsed("sim:/tmp/disc.img");
    EXPECT_EQ(config.backingPath, "/tmp/disc.img");
    ASSERT_EQ(config.discs.size(), 1u);
    EXPECT_EQ(config.discs[0].kind, SimulatedMediumKind::CDR);
    EXPECT_EQ(config.discs[0].state, DiscStatus::Blank);
    EXPECT_EQ(config.discs[0].capacity, traitsOf(SimulatedMediumKind::CDR).capacity);
    EXPECT_EQ(config.discs[0].used, 0);
    EXPECT_EQ(config.insertAfter, 0ms);
    EXPECT_FALSE(config.busy);
    EXPECT_FALSE(config.lostAtSector || config.failAtSector || config.badSector);
}

TEST(SimulatedDriveConfig, EveryParameter) {
    const SimulatedDriveConfig config =
        parsed("sim:/tmp/d?medium=dvd-rw&state=appendable&capacity=10M&used=3000k&"
               "insert-after=2s&erase-time=250ms&busy&lost-at=7&fail-at-sector=8&bad-sector=9");
    ASSERT_EQ(config.discs.size(), 1u);
    EXPECT_EQ(config.discs[0].kind, SimulatedMediumKind::DVDMinusRW);
    EXPECT_EQ(config.discs[0].state, DiscStatus::Appendable);
    EXPECT_EQ(config.discs[0].capacity, 10 * 1024 * 1024);
    // Sizes are whole sectors.
    EXPECT_EQ(config.discs[0].used, 3000 * 1024 / 2048 * 2048);
    EXPECT_EQ(config.insertAfter, 2000ms);
    EXPECT_EQ(config.eraseTime, 250ms);
    EXPECT_TRUE(config.busy);
    EXPECT_EQ(config.lostAtSector, 7);
    EXPECT_EQ(config.failAtSector, 8);
    EXPECT_EQ(config.badSector, 9);
}

TEST(SimulatedDriveConfig, CommaListsDescribeDiscsThatFollowEachOther) {
    const SimulatedDriveConfig config =
        parsed("sim:/tmp/d?medium=cd-r,cd-rw,bd-r&state=full,blank&capacity=1M");
    ASSERT_EQ(config.discs.size(), 3u);
    EXPECT_EQ(config.discs[0].kind, SimulatedMediumKind::CDR);
    EXPECT_EQ(config.discs[0].state, DiscStatus::Full);
    EXPECT_EQ(config.discs[0].used, config.discs[0].capacity);
    EXPECT_EQ(config.discs[1].kind, SimulatedMediumKind::CDRW);
    EXPECT_EQ(config.discs[1].state, DiscStatus::Blank);
    // A shorter list repeats its last value.
    EXPECT_EQ(config.discs[2].kind, SimulatedMediumKind::BDR);
    EXPECT_EQ(config.discs[2].state, DiscStatus::Blank);
    EXPECT_EQ(config.discs[2].capacity, 1024 * 1024);
}

TEST(SimulatedDriveConfig, MediumKindsAreTheProfilesTheyStandFor) {
    const std::vector<std::pair<std::string, MediumKind>> cases = {
        {"cd-r", MediumKind::CDR},
        {"cd-rw", MediumKind::CDRW},
        {"dvd-r", MediumKind::DVDR},
        {"dvd+r", MediumKind::DVDPlusR},
        {"dvd-rw", MediumKind::DVDRWSequential},
        {"bd-r", MediumKind::BDR},
    };
    for (const auto& [name, kind] : cases) {
        const SimulatedMediumTraits& traits =
            traitsOf(parsed("sim:/x?medium=" + name).discs.at(0).kind);
        EXPECT_EQ(traits.name, name);
        EXPECT_EQ(traits.kind, kind) << name;
    }
}

TEST(SimulatedDriveConfig, BadIdsSayWhatIsWrong) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"stdio:/tmp/x", "begins with \"sim:\""},
        {"sim:", "needs a file"},
        {"sim:?medium=cd-r", "needs a file"},
        {"sim:/x?medium=floppy", "\"floppy\" for medium"},
        {"sim:/x?state=half", "\"half\" for state"},
        {"sim:/x?capacity=12X", "\"12X\" for capacity"},
        {"sim:/x?insert-after=soon", "for insert-after"},
        {"sim:/x?insert-after=5min", "for insert-after"},
        {"sim:/x?lost-at=-3", "for lost-at"},
        {"sim:/x?busy=maybe", "for busy"},
        {"sim:/x?colour=red", "unknown parameter \"colour\""},
        {"sim:/x?state=appendable&capacity=1M&used=2M", "more than its capacity"},
        {"sim:/x?capacity=9223372036854775807G",
         "\"9223372036854775807G\" for capacity is out of range"},
        {"sim:/x?used=9223372036854775807", "for used is out of range"},
        {"sim:/x?capacity=99999999999999999999", "\"99999999999999999999\" for capacity"},
        {"sim:/x?insert-after=9223372036854775807s", "for insert-after is out of range"},
        {"sim:/x?erase-time=9223372036854775807", "for erase-time is out of range"},
        {"sim:/x?bad-sector=9223372036854775807", "for bad-sector is out of range"},
    };
    for (const auto& [id, mentions] : cases) {
        std::string problem;
        EXPECT_FALSE(SimulatedDriveConfig::parse(id, problem).has_value()) << id;
        EXPECT_NE(problem.find(mentions), std::string::npos) << id << ": " << problem;
    }
}

} // namespace
