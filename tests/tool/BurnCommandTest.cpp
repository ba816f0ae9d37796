#include "tool/BurnCommand.h"

#include "tests/support/TestSupport.h"

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
