#include "tool/BurnCommand.h"

#include "tests/support/TestSupport.h"

#include <tuple>

using namespace emberlin;

TEST(BurnCommand, AnyTitleButTheSpeedsGivesTheMaximum) {
    const std::pair<QString, QString> cases[] = {
        {"1x", "1"},   {"12x", "12"},  {"24x", "24"},  {"max", "max"}, {"", "max"},
        {"1X", "max"}, {" 1x", "max"}, {"32x", "max"}, {"3x", "max"},
    };
    for (const auto& [title, value] : cases)
        EXPECT_EQ(speedValueForTitle(title), value) << title.toStdString();
}

TEST(BurnCommand, TrimsOnlyBlanksAndTabs) {
    const std::pair<QString, QString> cases[] = {
        {" \t 1,0,0\t ", "1,0,0"},
        {"  IOService:/a b/c  ", "IOService:/a b/c"},
        {"\n 1,0,0 \r", "\n 1,0,0 \r"},
        {QString::fromUtf16(u"\u00a01,0,0"), QString::fromUtf16(u"\u00a01,0,0")},
        {" \t ", ""},
    };
    for (const auto& [text, trimmed] : cases)
        EXPECT_EQ(trimBlanksAndTabs(text), trimmed);
}

// The system's tool (macOS) gets today's command line; ours is told to ask
// before it erases, and only where erasing was chosen.
TEST(BurnCommand, OnlyOurToolIsToldToAskBeforeErasing) {
    const QStringList before{"tool",        "burn",   "i.iso", "-verifyburn",
                             "-forceclose", "-speed", "max"};
    const QStringList after{"-puppetstrings", "-device", "d"};
    const std::tuple<BurnTool, bool, QStringList> cases[] = {
        {BurnTool::Ours, true, {"-erase", "-askbeforeerasing"}},
        {BurnTool::Ours, false, {}},
        {BurnTool::System, true, {"-erase"}},
        {BurnTool::System, false, {}},
    };
    for (const auto& [tool, erase, options] : cases)
        EXPECT_EQ(burnArguments("tool", "i.iso", {false, true, erase, "max"}, "d", tool),
                  before + options + after);
}
