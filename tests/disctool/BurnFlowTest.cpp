// SPDX-License-Identifier: GPL-3.0-or-later
// Every branch of a burn, on emulated drives: libburn drives them as it
// drives a real burner, and the disc's bytes end up in the drive's file.
#include "tests/disctool/TranscriptChecker.h"
#include "tests/support/DiscFixture.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestImage.h"
#include "tests/support/ToolRun.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const std::string prompt = "Please insert a disc:";
const std::string preparing = "Preparing data for burn";
const std::string writing = "Writing track";
const std::string closing = "Closing session";
const std::string finishing = "Finishing burn";
const std::string verifying = "Verifying burn";
const std::string success = "Burn completed successfully";
const std::string busy = "The device is being used by another application";
const std::string noDrive = "no CD/DVD drives present";

const Lines burnSteps = {preparing, writing, closing, finishing, verifying, success};
// A disc refused, and another asked for.
const Lines notWritable = {"Media is not writable", prompt};

Lines concat(Lines first, const Lines& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Checks the commands the drive received, one by name per line of the
// emulator's log, against `pattern`: command beginnings separated by ",",
// each to come after the one before it, and "!X" for one that must not come
// between the commands matched around it. Returns what is wrong, or nothing.
std::string checkCommands(const std::string& logFile, const std::string& pattern) {
    Lines tokens;
    std::istringstream words(pattern);
    for (std::string token; std::getline(words >> std::ws, token, ',');) {
        tokens.push_back(token);
    }
    auto next = tokens.begin();
    Lines banned;
    const auto expectNext = [&] {
        for (banned.clear(); next != tokens.end() && next->starts_with('!'); ++next) {
            banned.push_back(next->substr(1));
        }
    };
    expectNext();
    std::ifstream log(logFile);
    for (std::string command; std::getline(log, command);) {
        if (next != tokens.end() && command.starts_with(*next)) {
            ++next;
            expectNext();
            continue;
        }
        for (const std::string& early : banned) {
            if (command.starts_with(early)) {
                return early + " came too early";
            }
        }
    }
    return next == tokens.end() ? "" : "no " + *next;
}

struct FlowCase {
    std::string name;
    std::string parameters;
    bool erase;
    Lines steps;
    int status;
    std::string extra = {};    // one more argument
    std::string commands = {}; // as checkCommands takes them
    // What each disc holds afterwards: "volume" the file system it came with
    // (untouched), "image" the image, "volume+image" both, "blank" nothing,
    // "-" anything. By default a burn puts the image on the last disc.
    std::string discs = {};
    std::string fact = {}; // KEY=VALUE the output must state
};

class BurnFlow : public ::testing::Test {
protected:
    void SetUp() override { image_ = writeTestImage(imagePath(), 300001); }

    std::string imagePath() const { return scratch_.file("image.iso"); }
    // A drive keeps what was done to its disc: each test case takes a new one.
    void newDisc() { ++disc_; }
    std::string backing() const { return scratch_.file("disc" + std::to_string(disc_) + ".img"); }
    std::string disc(int number) const {
        return number == 1 ? backing() : backing() + "." + std::to_string(number);
    }
    std::string log() const { return backing() + ".log"; }
    std::string sim(const std::string& parameters) const {
        return "sim:" + backing() + "?log=" + log() + (parameters.empty() ? "" : "&" + parameters);
    }
    // A file the test creates when the drive shall go on.
    std::string trigger() const { return scratch_.file("go" + std::to_string(disc_)); }
    void pull() const { std::ofstream{trigger()}; }

    // The command line Emberlin builds, with "-erase" where the window asks for it.
    Lines arguments(const std::string& device, bool erase = false,
                    const std::string& extra = "") const {
        Lines args = puppetBurn(imagePath(), device);
        if (erase) {
            args.insert(args.begin() + 6, "-erase");
        }
        if (!extra.empty()) {
            args.push_back(extra);
        }
        return args;
    }

    void runCases(const std::vector<FlowCase>& cases);
    // Runs a burn that must refuse the disc with a remark holding `remark`,
    // and cancels its wait for another. Returns the remark's line.
    std::string expectRefusal(const std::string& device, bool erase, const std::string& remark);
    void checkDiscs(const std::string& discs) const;

    ScratchDirectory scratch_;
    std::vector<char> image_;
    int disc_ = 0;
};

// Each case burns a new disc, several cases to a test so that they spread
// over the processors: libburn waits for a drive in steps of half a second.
void BurnFlow::runCases(const std::vector<FlowCase>& cases) {
    for (const FlowCase& c : cases) {
        SCOPED_TRACE(c.name);
        newDisc();
        const ToolResult result = runTool(arguments(sim(c.parameters), c.erase, c.extra));
        EXPECT_EQ(checkTranscript(result.lines), "");
        EXPECT_EQ(stepsOf(result.lines), c.steps);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(checkCommands(log(), c.commands), "");
        EXPECT_EQ(checkFacts(result.lines, image_, c.extra == "-testburn"), "");
        const std::size_t equals = c.fact.find('=');
        EXPECT_EQ(lastFact(result.lines, c.fact.substr(0, equals)),
                  equals == std::string::npos ? "" : c.fact.substr(equals + 1));
        // The medium is named as in the device id: the last disc is burned.
        const std::string named = "medium=cd-r&" + c.parameters + "&";
        const std::string media = named.substr(named.rfind("medium=") + 7);
        if (c.status == 0) {
            const std::string last = media.substr(0, media.find('&'));
            EXPECT_EQ(lastFact(result.lines, "medium"), last.substr(last.rfind(',') + 1));
        }
        const bool followed = std::filesystem::exists(disc(2));
        checkDiscs(c.discs.empty() && c.status == 0 ? (followed ? "- image" : "image") : c.discs);
        // An erase or format comes first, with figures on the way when it
        // takes time, and ends at 100 before the burn.
        const auto prepared = std::find(result.lines.begin(), result.lines.end(), preparing);
        const auto erased = std::find(result.lines.begin(), prepared, "PERCENT:-1");
        if (erased != prepared && prepared != result.lines.end()) {
            EXPECT_EQ(*(prepared - 1), "PERCENT:100");
            const auto figure = [](const std::string& line) {
                return std::atoi(line.c_str() + 8) % 100 > 0;
            };
            EXPECT_EQ(std::any_of(erased + 2, prepared - 1, figure),
                      c.parameters.find("erase-time") != std::string::npos);
        }
    }
}

std::string BurnFlow::expectRefusal(const std::string& device, bool erase,
                                    const std::string& remark) {
    ToolRun run(erase ? Lines{"burn", imagePath(), "-device", device, "-erase"}
                      : Lines{"burn", imagePath(), "-device", device});
    std::string said;
    EXPECT_TRUE(run.waitForLine([&](const std::string& line) {
        said = line;
        return line.find(remark) != std::string::npos;
    }));
    EXPECT_TRUE(run.waitForLine("This disc cannot be written. Please insert a writable disc..."));
    run.sendSignal(SIGTERM);
    EXPECT_EQ(run.finish(), 128 + SIGTERM);
    return said;
}

void BurnFlow::checkDiscs(const std::string& discs) const {
    std::istringstream words(discs);
    int number = 0;
    for (std::string holds; words >> holds && ++number > 0;) {
        if (holds == "-") {
            continue;
        }
        const std::vector<char> bytes = readWholeFile(disc(number));
        SCOPED_TRACE("disc " + std::to_string(number) + " holds " + holds);
        EXPECT_EQ(holdsImage(bytes, image_), holds.ends_with("image"));
        EXPECT_EQ(bytes.empty(), holds == "blank");
        if (holds.starts_with("volume")) {
            ASSERT_GT(bytes.size(), 16u * 2048 + 6);
            EXPECT_EQ(std::string(bytes.data() + 16 * 2048 + 1, 5), "CD001");
        }
    }
}

TEST_F(BurnFlow, EveryOutcomeOfTheMediumInTheDrive) {
    const Lines unverified = {preparing, writing, closing, finishing, success};
    runCases({
        {"blank disc", "", false, burnSteps, 0},
        {"a closed CD-R is not writable, erase or not, then a blank disc",
         "medium=cd-r&state=full,blank", true, concat(notWritable, burnSteps), 0},
        {"not writable, then a blank disc", "state=full,blank", false,
         concat(notWritable, burnSteps), 0},
        {"no space, then a bigger disc", "capacity=100k,10M", false,
         concat({"Media does not have enough free space", prompt}, burnSteps), 0},
        {"busy drive", "busy", false, {busy}, 1},
        {"BD-R formatted for pseudo-overwrite, then a DVD-R", "medium=bd-r,dvd-r&pow", false,
         concat(notWritable, burnSteps), 0, "", "!Write10, StartStopUnit 00 00 00 02, Write10"},
        {"without verify", "", false, unverified, 0, "-noverifyburn"},
        {"a test burn writes nothing, nor names a digest", "medium=cd-r", false, unverified, 0,
         "-testburn", "", "blank"},
        {"and refuses where the medium cannot simulate", "medium=dvd+r", false,
         Lines{"burn failed - This disc (DVD+R) cannot simulate a burn"}, 1, "-testburn",
         "!Write10"},
    });
}

TEST_F(BurnFlow, EveryKindOfMediumAndSlowDrives) {
    const Lines writeError = {preparing, writing,
                              "burn failed - Writing failed: SCSI error on write(16,16): "
                              "[3 0C 00] Medium error. Write error."};
    runCases({
        {"a drive becoming ready for a while", "unready=4polls", false, burnSteps, 0},
        {"no medium for a moment after loading: not ejected", "no-medium-for=20polls", false,
         concat({prompt}, burnSteps), 0, "", "!StartStopUnit 00 00 00 02, Write10"},
        {"blank DVD-R, written incrementally", "medium=dvd-r", false, burnSteps, 0},
        {"blank DVD+R", "medium=dvd+r", false, burnSteps, 0, "", "", "", "write-kbps=22160"},
        // What dvd+rw-mediainfo reports of the current format, not its largest descriptor.
        {"formatted BD-RE", "medium=bd-re", false, burnSteps, 0, "", "", "",
         "capacity=24220008448"},
        {"formatted DVD-RAM", "medium=dvd-ram", false, burnSteps, 0, "", "", "",
         "capacity=4580769792"},
        {"a refused speed does not hide the write error",
         "medium=dvd-r&refuse=B6&fail-at-sector=20", false, writeError, 1, "",
         "SetStreaming, Write10"},
        {"drive lost while writing", "lost-at=30", false, Lines{preparing, writing, noDrive}, 1},
        {"verify names the first differing sector", "bad-sector=37", false,
         concat(Lines(burnSteps.begin(), burnSteps.end() - 1),
                {"burn failed - Verify failed: sector 37 of the disc differs "
                 "from the image (byte 75776)"}),
         1},
    });
}

// libburn calls every overwritable disc blank: one holding a file system is
// written over only when erasing was asked for. Nothing is erased or
// formatted for a test burn, nor when the image would not fit afterwards.
TEST_F(BurnFlow, ADiscHoldingDataIsTouchedOnlyWhenErasingWasAskedForAndFits) {
    const Lines noSpace = {"Media does not have enough free space", prompt};
    runCases({
        {"DVD+RW and BD-RE holding sessions, then a blank DVD+RW",
         "medium=dvd+rw,bd-re,dvd+rw&state=appendable,full,blank", false,
         concat(concat(notWritable, {notWritable[0]}), burnSteps), 0, "",
         "!Write10, StartStopUnit 00 00 00 02, !Write10, StartStopUnit 00 00 00 02, Write10",
         "volume volume image",
         "disc-holds=an%20ISO%209660%20file%20system%20named%20\"EMBERLIN_SESSION_1\""},
        {"full CD-RW and DVD-RW too small for the image, then a blank CD-RW",
         "medium=cd-rw,dvd-rw,cd-rw&state=full,full,blank&capacity=200k,200k,10M", true,
         concat(concat(noSpace, {noSpace[0]}), burnSteps), 0, "",
         "!Blank, StartStopUnit 00 00 00 02, !Blank, StartStopUnit 00 00 00 02, !Blank, Write10",
         "volume volume image"},
        {"a DVD-RW whose capacity the drive does not tell is never erased, then a CD-R",
         "medium=dvd-rw,cd-r&state=full,blank&refuse=23", true, concat(notWritable, burnSteps), 0,
         "", "!Blank, StartStopUnit 00 00 00 02, !Blank, Write10", "volume image"},
        {"a test burn never erases", "medium=cd-rw&state=full", true,
         Lines{"burn failed - A test burn never erases the disc, and this CD-RW holds data"}, 1,
         "-testburn", "!Blank, !Write10", "volume"},
        {"nor writes over a disc that cannot simulate", "medium=dvd+rw&state=full", true,
         Lines{"burn failed - This disc (DVD+RW) cannot simulate a burn"}, 1, "-testburn",
         "!FormatUnit, !Write10", "volume"},
    });
}

// libburn calls every formatted overwritable disc blank: the tool reads its
// start. Only one that holds nothing is written without -erase; any other is
// refused with its bytes left as they were, and people are told what it
// holds. With -erase it is written and verified.
TEST_F(BurnFlow, AnOverwritableDiscIsWrittenWithoutEraseOnlyWhenItHoldsNothing) {
    struct Case {
        std::string content;
        std::string parameters;
        bool erase;
        std::string holds; // as people are told; empty: written
    };
    const std::vector<Case> cases = {
        {"", "medium=dvd+rw", false, ""},
        {"zeros", "medium=bd-re", false, ""},
        {"blanking-mark", "medium=dvd-ram", false, ""},
        {"blanked-iso", "medium=dvd+rw", false, "data of an unknown kind"},
        {"iso", "medium=dvd-rw-ro", false, "an ISO 9660 file system named \"EMBERLIN_ISO\""},
        {"udf", "medium=bd-re", false, "a UDF file system named \"EMBERLIN_UDF\""},
        {"ext", "medium=dvd-ram", false, "an ext2/3/4 file system named \"holiday\""},
        {"btrfs", "medium=bd-re", false, "a btrfs file system named \"backup\""},
        {"reiserfs", "medium=dvd+rw", false, "a ReiserFS file system"},
        {"gpt-backup", "medium=dvd+rw&capacity=10M", false, "a partition table"},
        {"zero-start", "medium=dvd-ram", false, "data of an unknown kind"},
        {"zeros", "medium=dvd-ram&unreadable=20", false,
         "sectors that cannot be read, which may hold data"},
        {"btrfs", "medium=bd-re", true, ""},
        {"ext", "medium=dvd+rw", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content + " on " + c.parameters + (c.erase ? " with -erase" : ""));
        newDisc();
        std::string parameters = c.parameters;
        std::vector<char> held;
        if (!c.content.empty()) {
            const std::string file = scratch_.file(c.content + std::to_string(disc_));
            writeDiscFixture(c.content, file);
            held = readWholeFile(file);
            parameters += "&contents=" + file;
        }
        if (c.holds.empty()) {
            const ToolResult result = runTool(arguments(sim(parameters), c.erase));
            EXPECT_EQ(result.status, 0);
            EXPECT_EQ(stepsOf(result.lines), burnSteps);
            EXPECT_EQ(checkFacts(result.lines, image_), "");
            checkDiscs("image");
            continue;
        }
        expectRefusal(sim(parameters), false,
                      " holds " + c.holds + "; it is written over only when erasing is asked for.");
        const std::vector<char> disc = readWholeFile(backing());
        ASSERT_GE(disc.size(), held.size());
        EXPECT_TRUE(std::equal(held.begin(), held.end(), disc.begin())) << "the same bytes";
        EXPECT_EQ(checkCommands(log(), "!Write10"), "");
    }
}

// A drive's buffer answers for what it wrote, closed or not, until the disc
// leaves it: the eject and load before the verify make the drive read the
// disc itself, on every medium; one that cannot load its tray says so. A bad
// sector reads wrong before the write too, so such a DVD+RW holds data.
TEST_F(BurnFlow, TheVerifyReadsTheDiscWhereverTheTrayCanLoadIt) {
    const Lines badSector = concat(Lines(burnSteps.begin(), burnSteps.end() - 1),
                                   {"burn failed - Verify failed: sector 37 of the disc differs "
                                    "from the image (byte 75776)"});
    const std::string reloaded =
        "Write10, StartStopUnit 00 00 00 02, StartStopUnit 00 00 00 03, Read10";
    runCases({
        {"DVD+RW written over", "medium=dvd+rw&state=appendable", true, burnSteps, 0, "", reloaded,
         "", "readback-from=disc"},
        {"closed CD-R", "medium=cd-r&cache&bad-sector=37", false, badSector, 1, "", reloaded},
        {"closed DVD+R", "medium=dvd+r&cache&bad-sector=37", false, badSector, 1, "", reloaded},
        {"closed BD-R", "medium=bd-r&cache&bad-sector=37", false, badSector, 1, "", reloaded},
        {"closed DVD-RW", "medium=dvd-rw&cache&bad-sector=37", false, badSector, 1, "", reloaded},
        {"DVD+RW", "medium=dvd+rw&cache&bad-sector=37", true, badSector, 1, "", reloaded},
        {"a DVD+R in a drive that cannot load its tray", "medium=dvd+r&tray=manual&cache", false,
         burnSteps, 0, "", "Write10, !StartStopUnit 00 00 00 03, Read10", "",
         "readback-from=cache-or-disc"},
        {"a DVD+RW there", "medium=dvd+rw&tray=manual&cache&bad-sector=37", true, burnSteps, 0, "",
         "Write10, !StartStopUnit 00 00 00 03, Read10", "", "readback-from=cache-or-disc"},
    });
}

// A refused disc is named with what would make it usable, or why it is left alone.
TEST_F(BurnFlow, ARefusedDiscSaysWhatItHoldsAndWhatWouldHelp) {
    const std::vector<std::tuple<std::string, bool, std::string>> cases = {
        {"medium=cd-rw&state=full", false,
         "This CD-RW holds data and takes no more sessions; erasing it first would make it "
         "usable."},
        {"medium=dvd-rw&state=full&refuse=23", true,
         "The drive does not tell how much this DVD-RW sequential recording holds once erased, "
         "so it is left as it is: the image might not fit."},
    };
    for (const auto& [parameters, erase, remark] : cases) {
        SCOPED_TRACE(parameters);
        newDisc();
        expectRefusal(sim(parameters), erase, remark);
        EXPECT_EQ(checkCommands(log(), "!Blank, !Write10"), "");
    }
}

TEST_F(BurnFlow, DiscsAreFormattedBlankedAndWrittenOverAsAsked) {
    runCases({
        {"BD-RE written over, what it held told first", "medium=bd-re&state=full", true, burnSteps,
         0, "", "", "",
         "disc-holds=an%20ISO%209660%20file%20system%20named%20\"EMBERLIN_SESSION_1\""},
        {"new BD-RE formatted first", "medium=bd-re&state=unformatted&erase-time=3polls", false,
         burnSteps, 0, "", "!Write10, FormatUnit, Write10", "", "erase=format"},
        {"new DVD+RW formatted first", "medium=dvd+rw&state=unformatted", false, burnSteps, 0, "",
         "!Write10, FormatUnit, Write10"},
        {"full CD-RW erased first", "medium=cd-rw&state=full&erase-time=3polls", true, burnSteps, 0,
         "", "!Write10, Blank 11, Write10", "", "erase=fast"},
        {"DVD-RW kept appendable: blanked fully", "medium=dvd-rw&state=full", true, burnSteps, 0,
         "-noforceclose", "!Blank 11, Blank 10, Write10", "", "read-kbps=16620"},
        {"fast blank refused: blanked fully", "medium=dvd-rw&state=full&no-fast-blank", true,
         burnSteps, 0, "", "Blank 11, Blank 10, Write10", "", "erase=full"},
    });
}

// An image lands behind the sessions of an appendable disc, where one made
// for the start of a disc could not be read: it is refused there, and people
// are told the address to master it for. Mastered for it by genisoimage or
// xorriso (-C 0,NEXT -M DISC, as cdrskin and wodim report the address), it is
// written and verified behind them, and xorriso reads its tree there.
TEST_F(BurnFlow, AnImageFollowsTheSessionsOnADiscOnlyWhenMasteredForThem) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"medium=cd-r&state=appendable&used=64k", "/usr/bin/genisoimage"},
        {"medium=dvd+r&state=appendable", "/usr/bin/xorriso"},
        {"medium=dvd-r&state=appendable", "/usr/bin/genisoimage"},
        {"medium=bd-r&state=appendable", "/usr/bin/xorriso"},
    };
    for (const auto& [parameters, mastering] : cases) {
        SCOPED_TRACE(parameters);
        newDisc();
        const std::string remark =
            expectRefusal(sim(parameters), false, "The image was not mastered to start at sector ");
        ASSERT_TRUE(remark.starts_with("The image was not mastered")) << remark;
        checkDiscs("volume");

        const std::string next = std::to_string(std::stoul(remark.substr(46)));
        const std::string session = scratch_.file("session" + std::to_string(disc_) + ".iso");
        Lines master = mastering.ends_with("xorriso") ? Lines{"-as", "mkisofs"} : Lines{};
        const std::string added = scratch_.file("ADDED" + std::to_string(disc_));
        writeTestImage(added, 5000);
        master.insert(master.end(),
                      {"-quiet", "-C", "0," + next, "-M", backing(), "-o", session, added});
        ASSERT_EQ(runTool(master, {.program = mastering}).status, 0);
        Lines args = arguments(sim(parameters));
        args[1] = session;
        image_ = readWholeFile(session);
        const ToolResult burned = runTool(args);
        EXPECT_EQ(stepsOf(burned.lines), burnSteps);
        EXPECT_EQ(checkFacts(burned.lines, image_), "");
        checkDiscs("volume+image");
        const ToolResult listed =
            runTool({"-indev", "stdio:" + backing(), "-load", "sbsector", next, "-ls", "/"},
                    {.program = "/usr/bin/xorriso"});
        EXPECT_THAT(listed.lines, testing::Contains(testing::HasSubstr(
                                      std::filesystem::path(added).filename().string())));
    }
}

// A disc that cannot be used is ejected, and the tool waits quietly for
// another. libburn waits minutes for a drive that says it is becoming ready:
// the tool still answers a cancel, and once the drive was unready too long
// (here at once) gives the disc up, and ejects it when libburn lets go.
TEST_F(BurnFlow, ADiscThatCannotBeUsedIsEjectedAndTheToolWaitsQuietly) {
    for (const std::string parameters : {"state=full", "unready", "unready=@"}) {
        newDisc();
        ToolRun run(arguments(sim(parameters + (parameters.ends_with('@') ? trigger() : ""))),
                    {.environment = {parameters.starts_with("unready")
                                         ? "EMBERLIN_DISCTOOL_UNREADY_MS=0"
                                         : "EMBERLIN_DISCTOOL_UNREADY_MS=1"}});
        ASSERT_TRUE(run.waitForLine(prompt)) << parameters;
        pull();
        // The eject, once libburn lets go (not at all while it waits for ever).
        const std::string ejected = parameters == "unready" ? "" : "StartStopUnit 00 00 00 02";
        waitForFileChange(log(), [&] { return checkCommands(log(), ejected).empty(); });
        EXPECT_EQ(checkCommands(log(), ejected), "");
        run.sendSignal(SIGTERM);
        EXPECT_EQ(run.finish(), 128 + SIGTERM);
        EXPECT_EQ(run.lines(), concat(notWritable, {"burn failed - Canceled by SIGTERM"}));
        EXPECT_EQ(checkCommands(log(), "!Write10"), "") << parameters;
    }
}

// With -askbeforeerasing a disc whose data a burn would lose is named, then
// asked about, after its facts and before any command that erases or writes
// reaches the drive: the test answers only once it has read the question.
// "keep" ejects the disc untouched and waits for another; anything but
// "erase", the input's end or a cancel erases nothing.
TEST_F(BurnFlow, TheToolAsksBeforeADiscsDataIsLost) {
    const std::string iso = scratch_.file("held.iso");
    writeDiscFixture("iso", iso);
    const std::vector<char> held = readWholeFile(iso);
    const std::string named = "an%20ISO%209660%20file%20system%20named%20\"EMBERLIN_ISO\"";
    // A CD's sessions are counted, with their size as the drive reports it.
    const std::string session = "1%20session%20(";
    const std::string fullCdRw = "medium=cd-rw&state=full&contents=" + iso;
    const std::string nothingErased = ", so nothing was erased";
    struct Case {
        std::string parameters;
        std::optional<std::string> answer; // "" asks nothing; nullopt ends the input
        std::string holds;                 // how disc-holds starts, when asked; it ends `named`
        std::string last;                  // the closing line; for a success, all of a burn's steps
        std::string discs;
    };
    const std::vector<Case> cases = {
        {fullCdRw, "erase", session, success, "image"},
        {"medium=dvd+rw&contents=" + iso, "erase", named, success, "image"},
        {"medium=cd-rw", "", "", success, "image"},
        {"medium=dvd+rw&state=unformatted", "", "", success, "image"},
        {"medium=cd-rw,cd-rw&state=full,blank&contents=" + iso + ",", "keep", session, success,
         "- image"},
        {fullCdRw, std::nullopt, session,
         "burn failed - No answer came to the question whether to erase the disc" + nothingErased,
         "-"},
        {"medium=dvd+rw&contents=" + iso, "erase it", named,
         "burn failed - The answer to the question whether to erase the disc was neither "
         "\"erase\" nor \"keep\"" +
             nothingErased,
         "-"},
        {fullCdRw, "SIGINT", session, "burn failed - Canceled by SIGINT", "-"},
    };
    const std::string question = "QUESTION:erase-disc-holding-data";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parameters + " " + c.answer.value_or("(end)"));
        newDisc();
        ToolRun run(arguments(sim(c.parameters), true, "-askbeforeerasing"), {.answerable = true});
        if (c.answer != "") {
            ASSERT_TRUE(run.waitForLine(question));
            const Lines& told = run.lines();
            ASSERT_GE(told.size(), 3u);
            EXPECT_THAT(told[told.size() - 2],
                        testing::AllOf(testing::StartsWith("FACT:disc-holds=" + c.holds),
                                       testing::EndsWith(named)));
            EXPECT_TRUE(told[told.size() - 3].starts_with("FACT:medium="));
            EXPECT_EQ(checkCommands(log(), "!Blank, !FormatUnit, !Write10"), "");
            c.answer == "SIGINT" ? run.sendSignal(SIGINT) : run.answer(c.answer);
        }
        EXPECT_EQ(run.finish(), c.last == success ? 0 : c.answer == "SIGINT" ? 128 + SIGINT : 1);
        EXPECT_EQ(checkTranscript(run.lines()), "");
        const Lines asked = c.answer == "" ? Lines{} : Lines{question};
        const Lines prompted = c.answer == "keep" ? concat(asked, {prompt}) : asked;
        EXPECT_EQ(stepsOf(run.lines()),
                  concat(prompted, c.last == success ? burnSteps : Lines{c.last}));
        checkDiscs(c.discs);
        // An untouched first disc holds what it came with (which holds the image too).
        if (c.discs.starts_with("-")) {
            const std::vector<char> disc = readWholeFile(backing());
            ASSERT_GE(disc.size(), held.size());
            EXPECT_TRUE(std::equal(held.begin(), held.end(), disc.begin())) << "the same bytes";
        }
    }
}

TEST_F(BurnFlow, AMissingDriveSaysNoDrivesAndNothingElse) {
    const ToolResult result = runTool(arguments(scratch_.file("sr7")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.lines, (Lines{noDrive}));
}

// An image or target the tool cannot use fails the burn. What its name says
// (here the window's own success) never reaches a line the window interprets,
// where the tool's words stand instead; people at a terminal see it.
TEST_F(BurnFlow, ANameFromOutsideNeverReachesALineTheWindowInterprets) {
    const std::string folder = scratch_.file(success);
    std::filesystem::create_directory(folder);
    const std::string empty = folder + "/" + success + ".iso";
    std::ofstream{empty};
    struct Case {
        std::string image;
        std::string device;
        std::string failure;
        std::string named; // in the sentence people get
    };
    const std::vector<Case> cases = {
        {folder + "/missing.iso", sim("busy"), "Cannot open the image: No such file or directory",
         folder + "/missing.iso"},
        {folder, sim("busy"), "The image is not a regular file", folder},
        {empty, sim("busy"), "The image is empty", empty},
        {imagePath(), "stdio:" + folder + "/missing/disc.iso",
         "Cannot create the target: No such file or directory", folder + "/missing/disc.iso"},
        {imagePath(), "stdio:" + imagePath(), "The target is the image itself", imagePath()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure);
        Lines args = arguments(c.device);
        args[1] = c.image;
        const ToolResult result = runTool(args);
        EXPECT_EQ(result.status, 1);
        ASSERT_FALSE(result.lines.empty());
        EXPECT_EQ(result.lines.back(), "burn failed - " + c.failure);
        EXPECT_THAT(result.lines, testing::Each(testing::Not(testing::AnyOf(
                                      testing::HasSubstr(c.named), testing::HasSubstr(success)))));
        const ToolResult told = runTool({"burn", c.image, "-device", c.device});
        ASSERT_FALSE(told.lines.empty());
        EXPECT_THAT(told.lines.back(), testing::HasSubstr(c.named));
    }
}

// A drive node that only a group may use (as udev gives "cdrom") tells the
// user to join it; one nobody but root may use, to ask the administrator.
TEST_F(BurnFlow, ADriveTheUserMayNotOpenSaysHowToGetAccess) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "needs root to run the tool as another user";
    }
    const std::string device = scratch_.file("sr0");
    std::ofstream{device};
    ::chmod(device.c_str(), 0660);
    const group* cdrom = ::getgrnam("cdrom");
    ASSERT_NE(cdrom, nullptr) << "Debian's group for optical drives";
    const std::vector<std::pair<gid_t, std::string>> cases = {
        {cdrom->gr_gid, ": it belongs to the group \"cdrom\". Add yourself to it (sudo usermod -aG "
                        "cdrom nobody), then log out and in again."},
        {0, " (mode 0660). Ask the administrator of this computer for read and write access to "
            "it."},
    };
    for (const auto& [group, advice] : cases) {
        ASSERT_EQ(::chown(device.c_str(), 0, group), 0);
        const ToolResult result = runTool(arguments(device), {.asNobody = true});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.lines, Lines{"burn failed - You may not use the drive" + advice});
    }
    // An emulated drive of the group "cdrom" that the user may not open.
    const ToolResult denied = runTool(arguments(sim("denied")));
    ASSERT_EQ(denied.lines.size(), 1u);
    EXPECT_THAT(denied.lines[0], testing::StartsWith("burn failed - You may not use the drive" +
                                                     cases.front().second.substr(0, 50)));
}

// Emberlin's cancel and quit end the tool with a signal: whatever the drive
// is doing is brought to rest first, and the tool exits non-zero.
TEST_F(BurnFlow, ASignalWhileWaitingForADiscEndsTheWait) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        ToolRun run(arguments(sim("insert-after=600s")));
        ASSERT_TRUE(run.waitForLine(prompt));
        run.sendSignal(signal);
        EXPECT_EQ(run.finish(), 128 + signal);
        EXPECT_EQ(checkTranscript(run.lines()), "");
        EXPECT_EQ(run.lines().size(), 2u);
    }
}

// The drive holds each job up until the test, having sent its signal, lets it go on.
TEST_F(BurnFlow, ASignalDuringAnEraseLetsTheEraseFinish) {
    ToolRun run(arguments(sim("medium=cd-rw&state=full&erase-time=@" + trigger()), true));
    ASSERT_TRUE(run.waitForLine("PERCENT:-1"));
    ASSERT_TRUE(run.waitForLine("PERCENT:-1"));
    run.sendSignal(SIGTERM);
    pull();
    EXPECT_EQ(run.finish(), 128 + SIGTERM);
    EXPECT_EQ(checkTranscript(run.lines()), "");
    const Lines& lines = run.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "PERCENT:100") << "the erase ran to its end";
    EXPECT_EQ(lines.back(), "burn failed - Canceled by SIGTERM");
    EXPECT_TRUE(readWholeFile(backing()).empty()) << "the disc was erased";
}

// Each case is named by the line after which the signal comes: a write is
// cancelled, and so is a verify; a cancel while the drive prepares the write
// never starts it, one while the drive closes the track lets it close the disc.
TEST_F(BurnFlow, ASignalStopsTheBurnWhereThatIsSafe) {
    const std::string canceled = "burn failed - Canceled by SIGTERM";
    const int status = 128 + SIGTERM;
    const std::vector<FlowCase> cases = {
        {writing, "medium=dvd-r&stall-at=64", false, {preparing, writing, canceled}, status},
        {verifying, "medium=dvd-r&stall-read-at=64", false,
         concat({preparing, writing, closing, finishing, verifying}, {canceled}), status},
        {preparing, "medium=dvd-r&stall-on=B6", false, Lines{preparing, canceled}, status, "",
         "!ReserveTrack, !Write10, !CloseTrackSession", "blank"},
        {closing, "medium=dvd+r&stall-on=5B", false,
         concat({preparing, writing, closing, finishing},
                {canceled + " after the disc was written and closed"}),
         status, "", "CloseTrackSession 01 01, CloseTrackSession 01 05", "image"},
    };
    for (const FlowCase& c : cases) {
        SCOPED_TRACE(c.parameters);
        newDisc();
        ToolRun run(arguments(sim(c.parameters + "&resume=@" + trigger())));
        ASSERT_TRUE(run.waitForLine(c.name));
        run.sendSignal(SIGTERM);
        pull();
        EXPECT_EQ(run.finish(), c.status);
        EXPECT_EQ(checkTranscript(run.lines()), "");
        EXPECT_EQ(stepsOf(run.lines()), c.steps);
        EXPECT_EQ(checkCommands(log(), c.commands), "");
        checkDiscs(c.discs);
    }
}

// Progress follows what the drive has written, not what libburn handed it.
// The drive is held at a sector while its buffer (2 MiB on a CD) is full, as
// it is once the host runs ahead: the figures shown meanwhile stay that much
// behind what was sent.
TEST_F(BurnFlow, ProgressFollowsWhatTheDriveHasWritten) {
    image_ = writeTestImage(imagePath(), 4 * 1024 * 1024);
    constexpr long long heldAt = 1500;
    ToolRun run(arguments(sim("rate=24x&stall-at=1500&resume=@" + trigger())));
    // The write that reaches the sector is in the drive's log while it waits.
    const auto reached = [&] {
        std::ifstream commands(log());
        for (std::string command; std::getline(commands, command);) {
            // The name, then the command block's bytes from the second on.
            const Lines cdb = splitWords(command);
            const auto at = [&](int byte) {
                return std::stoll(cdb[byte], nullptr, 16);
            };
            if (cdb.size() >= 9 && cdb[0] == "Write10" &&
                (at(2) << 24 | at(3) << 16 | at(4) << 8 | at(5)) + (at(7) << 8 | at(8)) > heldAt) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(waitForFileChange(log(), reached));
    // The tool repeats its figure every second: the second one after is shown
    // while the drive waits.
    for (int figure = 0; figure < 2; ++figure) {
        ASSERT_TRUE(run.waitForLine(
            [](const std::string& line) { return line.starts_with("FACT:bytes-written="); }));
    }
    EXPECT_LE(std::stoll(lastFact(run.lines(), "bytes-written")), heldAt * 2048 - 1024 * 1024);
    pull();
    EXPECT_EQ(run.finish(), 0);
    EXPECT_EQ(checkFacts(run.lines(), image_), "");
}

TEST_F(BurnFlow, PeopleAreToldTheSpeedTakenAndWhenTheVerifyMayReadTheCache) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"medium=cd-r", "1", "The drive writes at 4.0x (706 kB/s)."},
        {"medium=dvd-r&top-speed=4x", "16", "The drive writes at 4.0x (5540 kB/s)."},
        {"medium=dvd-r&refuse=B6", "8",
         "The drive did not take the speed asked for and writes at a speed of its own."},
        {"medium=dvd+rw&tray=manual", "max",
         "This drive cannot load the disc again by itself, so the verify may read the drive's "
         "cache rather than the disc."},
    };
    for (const auto& [parameters, speed, remark] : cases) {
        SCOPED_TRACE(parameters);
        newDisc();
        const ToolResult result =
            runTool({"burn", imagePath(), "-speed", speed,
                     speed == "max" ? "-verifyburn" : "-noverifyburn", "-device", sim(parameters)});
        EXPECT_EQ(result.status, 0);
        EXPECT_THAT(result.lines, testing::Contains(remark));
        EXPECT_EQ(result.lines.back(), "Burn completed successfully.");
    }
    EXPECT_EQ(checkCommands(log(), "Write10, !StartStopUnit 00 00 00 03, Read10"), "")
        << "no load by hand";
}

} // namespace
