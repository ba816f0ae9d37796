// SPDX-License-Identifier: GPL-3.0-or-later
// The device ids of emulated drives: what each part means, and what is wrong
// with an id that cannot be used.
#include "emulator/DriveConfig.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using emulator::DiscState;
using emulator::DriveConfig;
using emulator::Medium;

DriveConfig parsed(const std::string& id) {
    std::string problem;
    std::optional<DriveConfig> config = DriveConfig::parse(id, problem);
    EXPECT_TRUE(config.has_value()) << id << ": " << problem;
    return config.value_or(DriveConfig{});
}

TEST(DriveConfig, ABareIdIsOneBlankCdRThatIsThereAtOnce) {
    const DriveConfig config = parsed("sim:/tmp/disc.img");
    EXPECT_EQ(config.path, "/tmp/disc.img");
    ASSERT_EQ(config.discs.size(), 1u);
    EXPECT_EQ(config.discs[0].medium, Medium::CDR);
    EXPECT_EQ(config.discs[0].state, DiscState::Blank);
    EXPECT_EQ(config.discs[0].used, 0);
    EXPECT_TRUE(config.insertAfter.fired({}));
    EXPECT_FALSE(config.busy || config.rate || config.unready || config.lostAt || config.failAt ||
                 config.badSector);
}

TEST(DriveConfig, CommaListsDescribeDiscsThatFollowEachOtherAndSizesAreWholeSectors) {
    const DriveConfig config = parsed(
        "sim:/d?medium=cd-r,dvd+rw,bd-re&state=full,appendable&capacity=10M&used=3001k,100k");
    ASSERT_EQ(config.discs.size(), 3u);
    EXPECT_EQ(config.discs[0].state, DiscState::Full);
    EXPECT_EQ(config.discs[0].used, 3001 * 1024 / 2048);
    EXPECT_EQ(config.discs[1].medium, Medium::DVDPlusRW);
    EXPECT_EQ(config.discs[1].used, 100 * 1024 / 2048);
    // A shorter list repeats its last value.
    EXPECT_EQ(config.discs[2].medium, Medium::BDRE);
    EXPECT_EQ(config.discs[2].state, DiscState::Appendable);
    EXPECT_EQ(config.discs[2].capacity, 10 * 1024 * 1024 / 2048);
    EXPECT_EQ(parsed("sim:/d?state=full").discs[0].used, parsed("sim:/d").discs[0].capacity)
        << "a full disc uses all of it unless told otherwise";
    const DriveConfig held = parsed("sim:/d?state=full,appendable&contents=/proc/self/exe,");
    ASSERT_TRUE(held.discs[0].contents.has_value());
    EXPECT_EQ(held.discs[0].used, (std::filesystem::file_size("/proc/self/exe") + 2047) / 2048)
        << "a disc with contents uses what they take unless told otherwise";
    EXPECT_FALSE(held.discs[1].contents.has_value()) << "an empty item: no contents";
}

TEST(DriveConfig, TriggersAndFaults) {
    const DriveConfig config =
        parsed("sim:/d?insert-after=@/tmp/go&no-medium-for=3polls&unready&erase-time=2s&rate=8x&"
               "busy&lost-at=7&fail-at-sector=8&bad-sector=9&stall-at=10&resume=250ms");
    EXPECT_TRUE(config.noMediumFor && config.unready && config.eraseTime && config.resume);
    EXPECT_FALSE(config.unready->fired({emulator::Clock::now(), 1000000}))
        << "becoming ready for ever";
    EXPECT_EQ(config.rate->multiple, 8);
    EXPECT_TRUE(config.busy);
    EXPECT_EQ(config.lostAt, 7);
    EXPECT_EQ(config.failAt, 8);
    EXPECT_EQ(config.badSector, 9);
    EXPECT_EQ(config.stallAt, 10);
    EXPECT_EQ(parsed("sim:/d?rate=5540").rate->kilobytesPerSecond, 5540);
    const DriveConfig held = parsed("sim:/d?stall-on=5b&resume=@/go&refuse=B6,bb&no-fast-blank&"
                                    "top-speed=4x&tray=manual&log=/tmp/commands");
    EXPECT_EQ(held.stallOn, 0x5B);
    EXPECT_EQ(held.refused, (std::vector<std::uint8_t>{0xB6, 0xBB}));
    EXPECT_TRUE(held.noFastBlank && held.manualTray && !held.rate);
    EXPECT_EQ(held.topSpeed->multiple, 4);
    EXPECT_EQ(held.log, "/tmp/commands");
}

TEST(DriveConfig, BadIdsSayWhatIsWrong) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"stdio:/tmp/x", "begins with \"sim:\""},
        {"sim:?medium=cd-r", "needs a file"},
        {"sim:/x?medium=floppy", "\"floppy\" for medium"},
        {"sim:/x?state=half", "\"half\" for state"},
        {"sim:/x?medium=cd-rw&state=unformatted", "arrive unformatted"},
        {"sim:/x?capacity=12X", "\"12X\" for capacity"},
        {"sim:/x?insert-after=soon", "for insert-after"},
        {"sim:/x?rate=8y", "for rate"},
        {"sim:/x?lost-at=-3", "for lost-at"},
        {"sim:/x?busy=maybe", "for busy"},
        {"sim:/x?stall-at=5", "needs resume="},
        {"sim:/x?stall-at=5&resume=2polls", "needs resume="},
        {"sim:/x?colour=red", "unknown parameter \"colour\""},
        {"sim:/x?state=appendable&capacity=1M&used=2M", "more than its capacity"},
        {"sim:/x?state=appendable&sessions=0", "sessions must be"},
        {"sim:/x?state=appendable&sessions=100", "for sessions is out of range (at most 99)"},
        {"sim:/x?capacity=9223372036854775807G", "\"9223372036854775807G\" for capacity is out"},
        {"sim:/x?used=1025G", "for used is out of range (at most 1024G)"},
        {"sim:/x?capacity=99999999999999999999", "\"99999999999999999999\" for capacity"},
        {"sim:/x?insert-after=86401s", "for insert-after is out of range (at most 86400s)"},
        {"sim:/x?erase-time=9223372036854775807", "for erase-time is out of range"},
        {"sim:/x?resume=2000000000polls", "for resume is out of range"},
        {"sim:/x?bad-sector=536870913", "for bad-sector is out of range (at most 536870912)"},
        {"sim:/x?rate=1001x", "for rate is out of range (at most 1000x)"},
        {"sim:/x?rate=0", "for rate"},
        {"sim:/x?top-speed=1001x", "for top-speed is out of range (at most 1000x)"},
        {"sim:/x?stall-on=5B", "needs resume="},
        {"sim:/x?stall-on=5B,2A&resume=@/go", "\"5B,2A\" for stall-on"},
        {"sim:/x?refuse=B6,2", "\"2\" for refuse"},
        {"sim:/x?refuse=+B", "\"+B\" for refuse"},
        {"sim:/x?tray=sideways", "for tray"},
        {"sim:/x?no-fast-blank=1", "for no-fast-blank"},
        {"sim:/x?log=", "for log"},
        {"sim:/x?state=blank&contents=/proc/self/exe", "contents needs a disc that holds data"},
        {"sim:/x?medium=dvd+rw&state=unformatted&contents=/proc/self/exe", "holds data"},
        {"sim:/x?state=appendable&contents=/nowhere", "cannot read contents /nowhere: No such"},
        {"sim:/x?state=full&contents=/tmp", "contents /tmp is not a regular file"},
        {"sim:/x?state=full&contents=/dev/null", "contents /dev/null is not a regular file"},
        {"sim:/x?state=full&sessions=3&contents=/proc/self/exe", "used must hold contents"},
        {"sim:/x?state=full&capacity=1M&contents=/proc/self/exe", "does not fit on the disc"},
        {"sim:/x?unreadable=5-3", "\"5-3\" for unreadable"},
        {"sim:/x?unreadable=5-536870913", "for unreadable is out of range"},
        {"sim:/x?medium=cd-r,dvd+r&pow", "pow formats a bd-r"},
        {"sim:/x?cache=yes", "\"yes\" for cache"},
    };
    for (const auto& [id, mentions] : cases) {
        std::string problem;
        EXPECT_FALSE(DriveConfig::parse(id, problem).has_value()) << id;
        EXPECT_NE(problem.find(mentions), std::string::npos) << id << ": " << problem;
    }
}

} // namespace
