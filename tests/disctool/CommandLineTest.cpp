// SPDX-License-Identifier: GPL-3.0-or-later
// The built tool's command lines: help, usage errors and the listing.
#include "tests/support/ToolRun.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using testing::Contains;
using testing::HasSubstr;

TEST(CommandLine, HelpDescribesTheCommandLinesAndEmulatedDrives) {
    const ToolResult help = runTool({"-help"});
    EXPECT_EQ(help.status, 0);
    for (const char* named :
         {"emberlin-disctool burn -list", "sim:PATH?PARAMETERS", "EMBERLIN_VIRTUAL_BURNERS"}) {
        EXPECT_THAT(help.lines, Contains(HasSubstr(named)));
    }
}

// A usage error is told to people at a terminal, and as a failure line to Emberlin.
TEST(CommandLine, BadArgumentsAreAUsageErrorWithExitStatusTwo) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"burn", "/tmp/x.iso", "-device", "/dev/sr0", "-speed", "5"}, "emberlin-disctool: "},
        {{"burn", "/tmp/x.iso", "-speed", "3", "-puppetstrings", "-device", "/dev/sr0"},
         "burn failed - Invalid arguments: invalid speed: use "},
    };
    for (const auto& [args, start] : cases) {
        const ToolResult result = runTool(args);
        EXPECT_EQ(result.status, 2) << args.back();
        ASSERT_FALSE(result.lines.empty());
        EXPECT_THAT(result.lines.front(), testing::StartsWith(start));
        EXPECT_TRUE(!start.starts_with("burn failed") || result.lines.size() == 1) << "one line";
    }
}

TEST(CommandLine, TheListingIsPairsOfNameAndDeviceLinesWithTheVirtualBurnersLast) {
    const ToolResult result =
        runTool({"burn", "-list"},
                {.environment = {"EMBERLIN_VIRTUAL_BURNERS=sim:/tmp/emberlin-try.img?medium=cd-rw&"
                                 "state=full;stdio:/tmp/emberlin-out.iso"}});
    EXPECT_EQ(result.status, 0);
    const std::vector<std::string>& lines = result.lines;
    ASSERT_GE(lines.size(), 4u);
    ASSERT_EQ(lines.size() % 2, 0u) << "every line counts in the pairs";
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        EXPECT_NE(lines[i].find(" via "), std::string::npos) << lines[i];
        EXPECT_FALSE(lines[i + 1].empty());
    }
    const std::size_t last = lines.size() - 1;
    EXPECT_EQ(lines[last - 2], "sim:/tmp/emberlin-try.img?medium=cd-rw&state=full");
    EXPECT_EQ(lines[last], "stdio:/tmp/emberlin-out.iso");
    EXPECT_THAT(lines, testing::Not(Contains("no CD/DVD drives present")));
}

TEST(CommandLine, AnEmptyListingSaysSoInOneLine) {
    // Only meaningful where the machine has no optical drive of its own.
    const ToolResult result = runTool({"burn", "-list"});
    EXPECT_EQ(result.status, 0);
    if (result.lines.size() != 1) {
        GTEST_SKIP() << "this machine has optical drives";
    }
    EXPECT_EQ(result.lines[0], "no CD/DVD drives present");
}

} // namespace
