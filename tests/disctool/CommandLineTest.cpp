// SPDX-License-Identifier: GPL-3.0-or-later
// The built tool's command lines: help, usage errors and the listing.
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

bool contains(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines) {
        if (line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(CommandLine, HelpDescribesTheCommandLinesAndEmulatedDrives) {
    const ToolResult help = runTool({"-help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(contains(help.lines, "emberlin-disctool burn -list"));
    EXPECT_TRUE(contains(help.lines, "sim:PATH?PARAMETERS"));
    EXPECT_TRUE(contains(help.lines, "EMBERLIN_VIRTUAL_BURNERS"));
}

TEST(CommandLine, BadArgumentsAreAUsageErrorWithExitStatusTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"burn", "/tmp/x.iso", "-device", "/dev/sr0", "-speed", "5"},
        {"burn", "/tmp/x.iso", "-device"},
        {"burn", "/tmp/x.iso", "-device", "/dev/sr0", "-overburn"},
        {"list"},
    };
    for (const auto& args : cases) {
        const ToolResult result = runTool(args);
        EXPECT_EQ(result.status, 2) << args.back();
        ASSERT_FALSE(result.lines.empty());
        EXPECT_TRUE(result.lines.front().starts_with("emberlin-disctool: "))
            << result.lines.front();
    }
}

TEST(CommandLine, APuppetStringsUsageErrorIsAFailureLineEmberlinShows) {
    const ToolResult result =
        runTool({"burn", "/tmp/x.iso", "-speed", "3", "-puppetstrings", "-device", "/dev/sr0"});
    EXPECT_EQ(result.status, 2);
    ASSERT_EQ(result.lines.size(), 1u);
    EXPECT_TRUE(result.lines[0].starts_with("burn failed - Invalid arguments: invalid speed: use "))
        << result.lines[0];
}

TEST(CommandLine, TheListingIsPairsOfNameAndDeviceLinesWithTheVirtualBurnersLast) {
    ToolRun::Options options;
    options.environment = {
        "EMBERLIN_VIRTUAL_BURNERS=sim:/tmp/emberlin-try.img?medium=cd-rw&state=full;"
        "stdio:/tmp/emberlin-out.iso"};
    const ToolResult result = runTool({"burn", "-list"}, options);
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
    EXPECT_FALSE(contains(lines, "no CD/DVD drives present"));
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
