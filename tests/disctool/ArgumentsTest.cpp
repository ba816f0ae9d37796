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

// A burn's options in a few words: image, device, speed, then each one set.
std::string wordsOf(const BurnOptions& burn) {
    return burn.imagePath + " " + burn.device + " " + std::to_string(burn.speed) +
           (burn.verify ? " verify" : "") + (burn.closeDisc ? " close" : "") +
           (burn.erase ? " erase" : "") + (burn.askBeforeErasing ? " ask" : "") +
           (burn.puppetStrings ? " puppet" : "") + (burn.eject ? " eject" : "") +
           (burn.testBurn ? " test" : "");
}

// The window's command line in every order gives the same burn, each option
// sets its field, and an image that looks like an option follows "--".
TEST(Arguments, EachOptionSetsItsFieldInAnyOrder) {
    const std::string windows = "/tmp/a b.iso /dev/sr1 8 verify close erase puppet eject";
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"burn", "/tmp/a b.iso", "-verifyburn", "-forceclose", "-speed", "8", "-erase",
          "-puppetstrings", "-device", "/dev/sr1"},
         windows},
        {{"burn", "-device", "/dev/sr1", "-puppetstrings", "-erase", "-speed", "8", "-forceclose",
          "-verifyburn", "/tmp/a b.iso"},
         windows},
        {{"burn", "-speed", "8", "/tmp/a b.iso", "-erase", "-device", "/dev/sr1", "-verifyburn",
          "-puppetstrings", "-forceclose"},
         windows},
        {{"burn", "-noverifyburn", "-noforceclose", "-noeject", "-testburn", "-askbeforeerasing",
          "-speed", "max", "-device", "stdio:/tmp/o.iso", "--", "-odd.iso"},
         "-odd.iso stdio:/tmp/o.iso 0 ask test"},
    };
    for (const auto& [args, expected] : cases) {
        const Arguments parsed = Arguments::parse(args);
        ASSERT_EQ(parsed.command(), Arguments::Command::Burn) << parsed.problem();
        EXPECT_EQ(wordsOf(parsed.burn()), expected);
    }
    // Every speed the window offers.
    for (const int speed : {1, 2, 4, 6, 8, 12, 16, 24}) {
        const Arguments parsed =
            Arguments::parse({"burn", "i.iso", "-speed", std::to_string(speed), "-device", "d"});
        ASSERT_EQ(parsed.command(), Arguments::Command::Burn) << speed;
        EXPECT_EQ(parsed.burn().speed, speed);
    }
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
        {{"burn", "-list", "-device", "x"}, "-list"},
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
