#include "BurnCommand.h"

#include <gmock/gmock.h>

TEST(BurnCommand, SpeedTitles) {
    const std::pair<QString, QString> cases[] = {
        {"1x", "1"},   {"2x", "2"},    {"4x", "4"},    {"6x", "6"},    {"8x", "8"},
        {"12x", "12"}, {"16x", "16"},  {"24x", "24"},  {"max", "max"}, {"", "max"},
        {"1X", "max"}, {" 1x", "max"}, {"32x", "max"}, {"3x", "max"},
    };
    for (const auto& [title, value] : cases) {
        EXPECT_EQ(speedValueForTitle(title), value) << title.toStdString();
    }
}

TEST(BurnCommand, ArgumentsForEveryCombinationOfOptions) {
    struct Case {
        bool leaveAppendable;
        bool verify;
        bool erase;
        QStringList arguments;
    };
    const QString tool = "/opt/tools/disc tool";
    const QString image = "/home/me/My Images/disc 1.iso";
    const QString device = "IOService:/a b/c";
    const Case cases[] = {
        {false,
         true,
         true,
         {tool, "burn", image, "-verifyburn", "-forceclose", "-speed", "8", "-erase",
          "-puppetstrings", "-device", device}},
        {false,
         true,
         false,
         {tool, "burn", image, "-verifyburn", "-forceclose", "-speed", "8", "-puppetstrings",
          "-device", device}},
        {false,
         false,
         true,
         {tool, "burn", image, "-noverifyburn", "-forceclose", "-speed", "8", "-erase",
          "-puppetstrings", "-device", device}},
        {false,
         false,
         false,
         {tool, "burn", image, "-noverifyburn", "-forceclose", "-speed", "8", "-puppetstrings",
          "-device", device}},
        {true,
         true,
         true,
         {tool, "burn", image, "-verifyburn", "-noforceclose", "-speed", "8", "-erase",
          "-puppetstrings", "-device", device}},
        {true,
         true,
         false,
         {tool, "burn", image, "-verifyburn", "-noforceclose", "-speed", "8", "-puppetstrings",
          "-device", device}},
        {true,
         false,
         true,
         {tool, "burn", image, "-noverifyburn", "-noforceclose", "-speed", "8", "-erase",
          "-puppetstrings", "-device", device}},
        {true,
         false,
         false,
         {tool, "burn", image, "-noverifyburn", "-noforceclose", "-speed", "8", "-puppetstrings",
          "-device", device}},
    };
    for (const Case& c : cases) {
        const BurnOptions options{image, c.leaveAppendable, c.verify, c.erase, "8x", device};
        EXPECT_EQ(burnArguments(tool, options), c.arguments)
            << "appendable " << c.leaveAppendable << ", verify " << c.verify << ", erase "
            << c.erase;
    }
}

TEST(BurnCommand, WindowDefaultsGiveMaximumSpeedAndErase) {
    BurnOptions options;
    options.imagePath = "/tmp/a.iso";
    options.deviceId = "1,0,0";
    EXPECT_EQ(burnArguments("/usr/bin/tool", options),
              (QStringList{"/usr/bin/tool", "burn", "/tmp/a.iso", "-verifyburn", "-forceclose",
                           "-speed", "max", "-erase", "-puppetstrings", "-device", "1,0,0"}));
}

TEST(BurnCommand, ListingArguments) {
    EXPECT_EQ(listingArguments(), (QStringList{"burn", "-list"}));
}

TEST(BurnCommand, TrimsOnlyBlanksAndTabs) {
    const std::pair<QString, QString> cases[] = {
        {"1,0,0", "1,0,0"},
        {" \t 1,0,0\t ", "1,0,0"},
        {"  IOService:/a b/c  ", "IOService:/a b/c"},
        {"\n 1,0,0 \r", "\n 1,0,0 \r"},
        {" 1,0,0\r\n", "1,0,0\r\n"},
        {QString::fromUtf16(u"\u00a01,0,0"), QString::fromUtf16(u"\u00a01,0,0")},
        {" \t ", ""},
        {"", ""},
    };
    for (const auto& [text, trimmed] : cases) {
        EXPECT_EQ(trimBlanksAndTabs(text), trimmed) << text.toStdString();
    }
}
