// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/MediumDecision.h"

#include "disctool/Speed.h"
#include "tests/support/ToolRun.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace disctool;
using namespace std::chrono_literals;

constexpr std::int64_t megabyte = 1024 * 1024;
constexpr std::int64_t imageSectors = 100 * megabyte / 2048;
// Where a second session starts on a CD, and an image mastered to start there.
constexpr std::int64_t secondSession = 11400;
const IsoVolume masteredForSecondSession{secondSession + 20, secondSession};

// A verdict in a few letters: W write (W+A leaving the disc appendable),
// EF/EB erase fast/fully, F format,
// NW/NE/NS the refusals "not writable", "not eraseable", "no space", ASK
// (+TRAY) ask for a disc, WAIT, and a failure by what its reason says: XS
// cannot simulate, XE/XF a test burn never erases/formats, X anything else;
// "!" after it when the disc's data goes with it.
std::string actionCodeOf(const MediumVerdict& verdict) {
    switch (verdict.action) {
    case MediumAction::Wait:
        return "WAIT";
    case MediumAction::AskForDisc:
        return verdict.openTray ? "ASK+TRAY" : "ASK";
    case MediumAction::Format:
        return "F";
    case MediumAction::EraseFast:
        return "EF";
    case MediumAction::EraseFully:
        return "EB";
    case MediumAction::Write:
        return verdict.leaveAppendable ? "W+A" : "W";
    case MediumAction::Reject:
        return verdict.problem == MediumProblem::NotWritable    ? "NW"
               : verdict.problem == MediumProblem::NotEraseable ? "NE"
                                                                : "NS";
    case MediumAction::Fail:
        break;
    }
    const auto says = [&](const char* text) {
        return verdict.reason.find(text) != std::string::npos;
    };
    return says("cannot simulate") ? "XS"
           : says("never erases")  ? "XE"
           : says("never formats") ? "XF"
                                   : "X";
}

std::string codeOf(const MediumVerdict& verdict) {
    return actionCodeOf(verdict) + (verdict.overwritesData ? "!" : "");
}

bool has(const std::string& list, const char* word) {
    return (" " + list + " ").find(std::string(" ") + word + " ") != std::string::npos;
}

// A disc of the profile in that state, with the facts the list names:
// unformatted data unreadable no-address pow no-room tight small
// unknown-capacity file sim multi.
Medium mediumWith(int profile, DiscStatus status, const std::string& facts) {
    Medium medium;
    medium.status = status;
    medium.kind = MediumKind{profile};
    medium.profileName = "disc";
    medium.formatting = has(facts, "unformatted") ? Formatting::Unformatted : Formatting::Formatted;
    const bool overwritable = isOverwritable(medium.kind);
    medium.holdsData = has(facts, "data") && !overwritable;
    medium.content.verdict = has(facts, "unreadable") ? DiscContent::Verdict::Unreadable
                             : has(facts, "data") && overwritable
                                 ? DiscContent::Verdict::Data
                                 : DiscContent::Verdict::Unexamined;
    if (!has(facts, "no-address"))
        medium.nextWritableSector = secondSession;
    medium.pseudoOverwrite = has(facts, "pow");
    medium.capacityBytes = has(facts, "small")              ? 50 * megabyte
                           : has(facts, "unknown-capacity") ? 0
                                                            : 700 * megabyte;
    medium.freeBytes = status == DiscStatus::Full ? 0
                       : has(facts, "no-room")    ? 50 * megabyte
                       : has(facts, "tight")      ? 100 * megabyte + 2047
                                                  : 500 * megabyte;
    medium.multiSession = has(facts, "multi");
    // libburn reports no test burn on a full disc.
    medium.canSimulate = has(facts, "sim") && status != DiscStatus::Full;
    medium.removable = !has(facts, "file");
    return medium;
}

// The words: erase test appendable odd-size for-start (an image made for
// sector 0).
BurnRequest requestFor(const std::string& words) {
    BurnRequest ask;
    ask.erase = has(words, "erase");
    ask.testBurn = has(words, "test");
    ask.leaveAppendable = has(words, "appendable");
    ask.imageBytes = 100 * megabyte + (has(words, "odd-size") ? 1 : 0);
    if (!has(words, "for-start"))
        ask.imageVolume = masteredForSecondSession;
    return ask;
}

// Every profile a drive reports, with a disc that is blank, appendable (the
// image made to follow its session), or holding data (full; an overwritable
// disc is "blank" to libburn but has a file system at its start), for four
// requests each: nothing, erase, test burn, test burn with erase. "." is a
// state libburn does not report.
TEST(MediumDecision, EveryProfileInEveryStateForEveryRequest) {
    struct Row {
        int profile;
        bool canSimulate; // as libburn reports it for a writable disc
        bool overwritable;
        int oneX; // kB/s asked for at speed 1
        const char* blank;
        const char* appendable;
        const char* holdingData;
    };
    const std::vector<Row> rows = {
        // profile     sim    over   1x    blank          appendable     holding data
        {0x09 /*CD-R*/, true, false, 177, "W W W W", "W NE W NE", "NW NW NW NW"},
        {0x0a /*CD-RW*/, true, false, 177, "W W W W", "W EF! W XE", "NW EF! NW XE"},
        {0x11 /*DVD-R*/, true, false, 1385, "W W W W", "W NE W NE", "NW NW NW NW"},
        {0x15 /*DVD-R DL*/, true, false, 1385, "W W W W", "W NE W NE", "NW NW NW NW"},
        {0x14 /*DVD-RW seq*/, true, false, 1385, "W W W W", "W EF! W XE", "NW EF! NW XE"},
        {0x13 /*DVD-RW r.o.*/, false, true, 1385, "W W XS XS", ".", "NW W! NW XS"},
        {0x1b /*DVD+R*/, false, false, 1385, "W W XS XS", "W NE XS NE", "NW NW NW NW"},
        {0x2b /*DVD+R DL*/, false, false, 1385, "W W XS XS", "W NE XS NE", "NW NW NW NW"},
        {0x1a /*DVD+RW*/, false, true, 1385, "W W XS XS", ".", "NW W! NW XS"},
        {0x12 /*DVD-RAM*/, false, true, 1385, "W W XS XS", ".", "NW W! NW XS"},
        {0x41 /*BD-R*/, false, false, 4496, "W W XS XS", "W NE XS NE", "NW NW NW NW"},
        {0x43 /*BD-RE*/, false, true, 4496, "W W XS XS", ".", "NW W! NW XS"},
        {0x08 /*CD-ROM*/, false, false, 0, ".", ".", "NW NW NW NW"},
        {0x10 /*DVD-ROM*/, false, false, 0, ".", ".", "NW NW NW NW"},
        {0x40 /*BD-ROM*/, false, false, 0, ".", ".", "NW NW NW NW"},
        {0x42 /*BD-R random, not written by libburn*/, false, false, 0, "NW NW NW NW", ".", "."},
        {0xffff /*file*/, true, false, 0, "W W W W", ".", "."},
    };
    const char* const requests[] = {"", "erase", "test", "test erase"};
    for (const Row& row : rows) {
        const std::vector<std::pair<const char*, DiscStatus>> columns = {
            {row.blank, DiscStatus::Blank},
            {row.appendable, DiscStatus::Appendable},
            {row.holdingData, row.overwritable ? DiscStatus::Blank : DiscStatus::Full}};
        for (std::size_t column = 0; column < columns.size(); ++column) {
            const std::vector<std::string> expected = splitWords(columns[column].first);
            if (expected == std::vector<std::string>{"."}) {
                continue;
            }
            const Medium medium =
                mediumWith(row.profile, columns[column].second,
                           std::string(column > 0 ? "data" : "") + (row.canSimulate ? " sim" : "") +
                               (row.profile == 0xffff ? " file" : ""));
            ASSERT_EQ(expected.size(), 4u);
            for (int request = 0; request < 4; ++request) {
                BurnRequest ask = requestFor(requests[request]);
                ask.speed = 1;
                const MediumVerdict verdict = decideMedium(medium, {}, ask);
                EXPECT_EQ(codeOf(verdict), expected[request])
                    << "profile " << std::hex << row.profile << ", column " << column
                    << ", request " << request;
                if (verdict.action == MediumAction::Write) {
                    EXPECT_EQ(verdict.kilobytesPerSecond, row.oneX) << std::hex << row.profile;
                    EXPECT_EQ(verdict.useFifo, row.profile != 0xffff) << std::hex << row.profile;
                }
            }
        }
    }
}

// What goes beyond the profile and state: waiting, room, formatting, blanking
// that must keep what was asked, what was tried on this disc already, what
// an overwritable disc holds, and whether the image can be read behind the
// sessions already there.
TEST(MediumDecision, WaitingRoomFormattingAndBlanking) {
    struct Case {
        std::string name;
        int profile;
        DiscStatus status;
        std::string facts;
        std::string ask;
        DiscHistory history;
        std::string expected;
    };
    const DiscHistory none{};
    const DiscHistory longAgo{30s};
    const DiscHistory fastTried{0ms, true};
    const DiscHistory fullTried{0ms, true, true};
    const DiscHistory formatTried{0ms, false, false, true};
    using enum DiscStatus;
    const std::vector<Case> cases = {
        {"drive still looking", 0x09, Unready, "", "", {29999ms}, "WAIT"},
        {"unready too long: ejected", 0x09, Unready, "", "", longAgo, "NW"},
        {"empty: ask, tray stays", 0x00, Empty, "", "", {2999ms}, "ASK"},
        {"empty a while: open the tray", 0x00, Empty, "", "", {3s}, "ASK+TRAY"},
        {"unsuitable", 0x09, Unsuitable, "", "erase", none, "NW"},
        {"blank too small", 0x09, Blank, "no-room", "", none, "NS"},
        {"appendable too full", 0x09, Appendable, "no-room", "", none, "NS"},
        {"appendable too full, erased to fit", 0x0a, Appendable, "no-room data", "erase", none,
         "EF!"},
        {"file without room ends the burn", 0xffff, Blank, "no-room file", "", none, "X"},
        {"never erased when it cannot fit", 0x0a, Full, "data small", "erase", none, "NS"},
        {"DVD-RW never blanked when it cannot fit", 0x14, Full, "data small", "erase", none, "NS"},
        {"nor when its capacity is unknown", 0x14, Full, "data unknown-capacity", "erase", none,
         "NW"},
        {"nor formatted then", 0x43, Blank, "unformatted unknown-capacity", "", none, "NW"},
        {"overwritable written over only if it fits", 0x43, Blank, "data no-room", "erase", none,
         "NS"},
        {"fast blank refused: blank fully", 0x0a, Full, "data", "erase", fastTried, "EB!"},
        {"still holding data after that", 0x0a, Full, "data", "erase", fullTried, "X"},
        {"DVD-RW kept appendable: blank fully", 0x14, Appendable, "data", "erase appendable", none,
         "EB!"},
        {"CD-RW stays appendable after a fast blank", 0x0a, Full, "data", "erase appendable", none,
         "EF!"},
        {"new BD-RE formatted", 0x43, Blank, "unformatted", "", none, "F"},
        {"restricted-overwrite DVD-RW said unformatted: formatted", 0x13, Blank, "unformatted", "",
         none, "F"},
        {"new DVD+RW formatted", 0x1a, Blank, "unformatted", "", none, "F"},
        {"never formatted when it cannot fit", 0x43, Blank, "unformatted small", "", none, "NS"},
        {"still unformatted after formatting", 0x43, Blank, "unformatted", "", formatTried, "X"},
        {"a test burn never formats", 0x43, Blank, "unformatted sim", "test", none, "XF"},
        {"BD-R needs no formatting", 0x41, Blank, "unformatted", "", none, "W"},
        {"kept appendable where asked and possible", 0x11, Blank, "multi", "appendable", none,
         "W+A"},
        {"closed where the disc cannot stay appendable", 0x15, Blank, "", "appendable", none, "W"},
        {"closed unless asked", 0x11, Blank, "multi", "", none, "W"},
        {"an odd-sized image takes whole sectors", 0x11, Blank, "tight", "odd-size", none, "NS"},
        {"one of whole sectors fits the same room", 0x11, Blank, "tight", "", none, "W"},
        {"an image made for the start, behind a session", 0x09, Appendable, "data", "for-start",
         none, "NW"},
        {"a write-once disc it cannot follow is not writable, erase or not", 0x1b, Appendable,
         "data", "for-start erase", none, "NW"},
        {"a rewritable one is blanked first", 0x0a, Appendable, "data", "for-start erase", none,
         "EF!"},
        {"where the next session starts is unknown", 0x41, Appendable, "data no-address", "", none,
         "NW"},
        {"BD-R formatted for pseudo-overwrite", 0x41, Blank, "pow", "", none, "NW"},
        {"an overwritable disc that cannot be read", 0x1a, Blank, "unreadable", "", none, "NW"},
        {"is written over when erasing was asked for", 0x1a, Blank, "unreadable", "erase", none,
         "W!"},
        {"or when this burn just formatted it", 0x43, Blank, "unreadable", "", formatTried, "W"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(codeOf(decideMedium(mediumWith(c.profile, c.status, c.facts), c.history,
                                      requestFor(c.ask))),
                  c.expected)
            << c.name;
    }
}

TEST(Speed, MultiplesOfTheMediumsOneXAndBack) {
    using media::Family;
    struct Case {
        std::optional<Family> family;
        int multiple;
        int expected;
    };
    const std::vector<Case> cases = {
        {Family::CD, 1, 177},    {Family::CD, 4, 706},     {Family::CD, 24, 4234},
        {Family::DVD, 1, 1385},  {Family::DVD, 16, 22160}, {Family::BD, 2, 8992},
        {Family::BD, 16, 71930}, {Family::CD, 0, 0},       {std::nullopt, 8, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kilobytesPerSecond(c.family, c.multiple), c.expected)
            << (c.family ? static_cast<int>(*c.family) : -1) << " x" << c.multiple;
    }
    EXPECT_EQ(describeSpeed(Family::DVD, 22160), "16.0x (22160 kB/s)");
    EXPECT_EQ(describeSpeed(Family::CD, 1764), "10.0x (1764 kB/s)");
    EXPECT_EQ(describeSpeed(std::nullopt, 5000), "5000 kB/s");
}

} // namespace
