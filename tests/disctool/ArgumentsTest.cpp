// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/Arguments.h"

#include "disctool/EraseAnswer.h"
#include "disctool/OutsideText.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace disctool;

using Args = std::vector<std::string>;

TEST(Arguments, ListTakesNothingElse) {
    EXPECT_EQ(Arguments::parse({"burn", "-list"}).command(), Arguments::Command::List);
    const Arguments extra = Arguments::parse({"burn", "-list", "-device", "x"});
    EXPECT_EQ(extra.command(), Arguments::Command::Invalid);
    EXPECT_NE(extra.problem().find("-list"), std::string::npos);
}

TEST(Arguments, TheWindowsCommandLineInEveryOrderGivesTheSameBurn) {
    const std::vector<Args> orders = {
        {"burn", "/tmp/a b.iso", "-verifyburn", "-forceclose", "-speed", "8", "-erase",
         "-puppetstrings", "-device", "/dev/sr1"},
        {"burn", "-device", "/dev/sr1", "-puppetstrings", "-erase", "-speed", "8", "-forceclose",
         "-verifyburn", "/tmp/a b.iso"},
        {"burn", "-speed", "8", "/tmp/a b.iso", "-erase", "-device", "/dev/sr1", "-verifyburn",
         "-puppetstrings", "-forceclose"},
    };
    for (const Args& order : orders) {
        const Arguments parsed = Arguments::parse(order);
        ASSERT_EQ(parsed.command(), Arguments::Command::Burn) << parsed.problem();
        const BurnOptions& burn = parsed.burn();
        EXPECT_EQ(burn.imagePath, "/tmp/a b.iso");
        EXPECT_EQ(burn.device, "/dev/sr1");
        EXPECT_TRUE(burn.verify);
        EXPECT_TRUE(burn.closeDisc);
        EXPECT_EQ(burn.speed, 8);
        EXPECT_TRUE(burn.erase);
        EXPECT_TRUE(burn.puppetStrings);
        EXPECT_TRUE(burn.eject);
        EXPECT_FALSE(burn.testBurn);
    }
}

TEST(Arguments, EachOptionSetsItsField) {
    const Arguments parsed =
        Arguments::parse({"burn", "i.iso", "-noverifyburn", "-noforceclose", "-noeject",
                          "-testburn", "-speed", "max", "-device", "stdio:/tmp/o.iso"});
    ASSERT_EQ(parsed.command(), Arguments::Command::Burn) << parsed.problem();
    const BurnOptions& burn = parsed.burn();
    EXPECT_FALSE(burn.verify);
    EXPECT_FALSE(burn.closeDisc);
    EXPECT_FALSE(burn.eject);
    EXPECT_TRUE(burn.testBurn);
    EXPECT_EQ(burn.speed, 0);
    EXPECT_FALSE(burn.erase);
    EXPECT_FALSE(burn.puppetStrings);
}

TEST(Arguments, EverySpeedOfTheWindowIsAccepted) {
    const std::vector<std::pair<std::string, int>> speeds = {
        {"1", 1},   {"2", 2},   {"4", 4},   {"6", 6},   {"8", 8},
        {"12", 12}, {"16", 16}, {"24", 24}, {"max", 0},
    };
    for (const auto& [text, value] : speeds) {
        const Arguments parsed =
            Arguments::parse({"burn", "i.iso", "-speed", text, "-device", "d"});
        ASSERT_EQ(parsed.command(), Arguments::Command::Burn) << text;
        EXPECT_EQ(parsed.burn().speed, value) << text;
    }
}

TEST(Arguments, AnImageThatLooksLikeAnOptionFollowsDoubleDash) {
    const Arguments parsed = Arguments::parse({"burn", "-device", "d", "--", "-odd.iso"});
    ASSERT_EQ(parsed.command(), Arguments::Command::Burn) << parsed.problem();
    EXPECT_EQ(parsed.burn().imagePath, "-odd.iso");
}

TEST(Arguments, BadCommandLinesSayWhatIsWrong) {
    struct Case {
        Args args;
        std::string mentions;
    };
    const std::vector<Case> cases = {
        {{}, "missing command"},
        {{"write", "i.iso"}, "unknown command"},
        {{"burn", "i.iso", "-device", "d", "-fast"}, "unknown option \"-fast\""},
        {{"burn", "i.iso", "-device"}, "-device needs a value"},
        {{"burn", "i.iso", "-device", "-puppetstrings"}, "-device needs a value"},
        {{"burn", "i.iso", "-device", "d", "-speed"}, "-speed needs a value"},
        {{"burn", "i.iso", "-device", "d", "-speed", "3"}, "invalid speed \"3\""},
        {{"burn", "i.iso", "-device", "d", "-speed", "-erase"}, "invalid speed"},
        {{"burn", "-device", "d"}, "no image"},
        {{"burn", "i.iso"}, "no device"},
        {{"burn", "a.iso", "b.iso", "-device", "d"}, "more than one image"},
        {{"burn", "-", "-device", "d"}, "not \"-\""},
    };
    for (const Case& c : cases) {
        const Arguments parsed = Arguments::parse(c.args);
        EXPECT_EQ(parsed.command(), Arguments::Command::Invalid) << c.mentions;
        const std::string problem = outside::forPeople(parsed.problem());
        EXPECT_NE(problem.find(c.mentions), std::string::npos)
            << "problem: " << problem << ", expected: " << c.mentions;
    }
}

TEST(Arguments, APuppetStringsRunWithBadArgumentsStillWantsMachineReadableOutput) {
    EXPECT_TRUE(
        Arguments::parse({"burn", "i.iso", "-puppetstrings", "-speed", "7"}).puppetStrings());
    EXPECT_FALSE(Arguments::parse({"burn", "i.iso", "-speed", "7"}).puppetStrings());
}

TEST(Arguments, HelpWinsAnywhere) {
    for (const Args& args : std::vector<Args>{
             {"-help"}, {"--help"}, {"burn", "-help"}, {"burn", "i.iso", "-speed", "3", "-help"}}) {
        EXPECT_EQ(Arguments::parse(args).command(), Arguments::Command::Help);
    }
}

// Answers to the question before erasing: what was written, and the answers
// read from it in turn; a cancel comes once all was read, so a reader that
// waits for more says so.
TEST(EraseAnswer, OneBoundedLineAtATime) {
    using EA = EraseAnswer;
    const std::vector<std::pair<std::string, std::vector<EraseAnswer>>> cases = {
        {"erase\nkeep\r\n", {EA::Erase, EA::Keep, EA::Aborted}},
        {"Erase\n\nerase", {EA::Unclear, EA::Unclear, EA::Aborted}},
        {std::string(65, 'e'), {EA::Unclear}}, // no more is waited for
    };
    for (const auto& [written, answers] : cases) {
        int input[2];
        ASSERT_EQ(::pipe(input), 0);
        ASSERT_EQ(::write(input[1], written.data(), written.size()), ssize_t(written.size()));
        const auto allRead = [&input] {
            int unread = 0;
            return ::ioctl(input[0], FIONREAD, &unread) == 0 && unread == 0;
        };
        for (const EraseAnswer expected : answers) {
            EXPECT_EQ(readEraseAnswer(input[0], allRead), expected) << written;
        }
        ::close(input[0]);
        ::close(input[1]);
    }
}

} // namespace
