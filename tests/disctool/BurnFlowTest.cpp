// SPDX-License-Identifier: GPL-3.0-or-later
// Every branch of a burn, on emulated drives: libburn drives them as it
// drives a real burner, and the disc's bytes end up in the drive's file.
#include "ScratchDirectory.h"
#include "TestImage.h"
#include "ToolRun.h"
#include "TranscriptChecker.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
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

Lines concat(Lines first, const Lines& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

bool startsWith(const std::string& line, const std::string& prefix) {
    return line.starts_with(prefix);
}

// Checks the commands the drive received, one in hex per line of the
// emulator's log, against `pattern`: command beginnings separated by ",",
// each to come after the one before it, and "!X" for one that must not come
// between the commands matched around it. Returns what is wrong, or nothing.
std::string checkCommands(const std::string& logFile, const std::string& pattern) {
    std::ifstream in(logFile);
    Lines log;
    for (std::string line; std::getline(in, line);) {
        log.push_back(line);
    }
    const auto find = [&log](Lines::iterator from, const std::string& start) {
        return std::find_if(from, log.end(),
                            [&](const auto& line) { return line.starts_with(start); });
    };
    Lines forbidden;
    auto at = log.begin();
    std::istringstream tokens(pattern + ",");
    for (std::string token; std::getline(tokens >> std::ws, token, ',');) {
        if (token.starts_with('!')) {
            forbidden.push_back(token.substr(1));
            continue;
        }
        const auto found = find(at, token);
        for (const std::string& banned : forbidden) {
            if (find(at, banned) < found) {
                return banned + " came before " + token;
            }
        }
        if (found == log.end()) {
            return token.empty()
                       ? ""
                       : "no " + token + " after command " + std::to_string(at - log.begin());
        }
        forbidden.clear();
        at = found + 1;
    }
    return {};
}

struct FlowCase {
    std::string name;
    std::string parameters;
    bool erase;
    Lines steps;
    int status;
    Lines extra = {};          // more arguments
    std::string commands = {}; // as checkCommands takes them
    // What each disc holds afterwards: "volume" its file system as it came
    // (untouched), "image" the image, "blank" nothing.
    std::string discs = {};
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
    Lines arguments(const std::string& device, bool erase = false, const std::string& speed = "max",
                    const Lines& extra = {}) const {
        Lines args = {"burn", imagePath(), "-verifyburn", "-forceclose", "-speed", speed};
        if (erase) {
            args.push_back("-erase");
        }
        args.insert(args.end(), {"-puppetstrings", "-device", device});
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    // Where on the disc the image is, on the first disc or the one that
    // followed it: the first sector at which it starts.
    std::ptrdiff_t imageSector(const Lines& files = {}) const {
        for (const std::string& file : files.empty() ? Lines{disc(1), disc(2)} : files) {
            const std::vector<char> disc = readWholeFile(file);
            for (std::size_t at = 0; at + image_.size() <= disc.size(); at += 2048) {
                if (std::equal(image_.begin(), image_.end(),
                               disc.begin() + static_cast<std::ptrdiff_t>(at))) {
                    return static_cast<std::ptrdiff_t>(at / 2048);
                }
            }
        }
        return -1;
    }

    // Waits until the drive has received a command beginning so.
    bool received(const std::string& start) const {
        for (int tries = 0; tries < 6000 && !checkCommands(log(), start).empty(); ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return checkCommands(log(), start).empty();
    }

    void runCases(const std::vector<FlowCase>& cases);
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
        const ToolResult result = runTool(arguments(sim(c.parameters), c.erase, "max", c.extra));
        EXPECT_EQ(checkTranscript(result.lines), "");
        EXPECT_EQ(stepsOf(result.lines), c.steps);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(checkCommands(log(), c.commands), "");
        checkDiscs(c.discs.empty() && c.status == 0 ? "image" : c.discs);
    }
}

void BurnFlow::checkDiscs(const std::string& discs) const {
    std::istringstream words(discs);
    int number = 0;
    for (std::string holds; words >> holds;) {
        const std::vector<char> bytes = readWholeFile(disc(++number));
        SCOPED_TRACE("disc " + std::to_string(number) + " holds " + holds);
        EXPECT_EQ(imageSector({disc(number)}) >= 0, holds == "image");
        EXPECT_EQ(bytes.empty(), holds == "blank");
        if (holds == "volume") {
            ASSERT_GT(bytes.size(), 16u * 2048 + 6);
            EXPECT_EQ(std::string(bytes.data() + 16 * 2048 + 1, 5), "CD001");
        }
    }
}

TEST_F(BurnFlow, EveryOutcomeOfTheMediumInTheDrive) {
    runCases({
        {"blank disc", "", false, burnSteps, 0},
        {"erase not needed on a blank rewritable", "medium=cd-rw", true, burnSteps, 0},
        {"appendable disc gets another session", "state=appendable&used=64k", false, burnSteps, 0},
        {"not eraseable, then a blank disc", "medium=cd-r&state=full,blank", true,
         concat({"Media is not eraseable", prompt}, burnSteps), 0},
        {"not writable, then a blank disc", "state=full,blank", false,
         concat({"Media is not writable", prompt}, burnSteps), 0},
        {"appendable but full enough, then a bigger disc",
         "state=appendable&capacity=1M,10M&used=900k,0", false,
         concat({"Media does not have enough free space", prompt}, burnSteps), 0},
        {"no space, then a bigger disc", "capacity=100k,10M", false,
         concat({"Media does not have enough free space", prompt}, burnSteps), 0},
        {"busy drive", "busy", false, {busy}, 1},
    });
}

TEST_F(BurnFlow, EveryKindOfMediumAndSlowDrives) {
    const std::string writeError = "burn failed - Writing failed: SCSI error on write(16,16): "
                                   "[3 0C 00] Medium error. Write error.";
    runCases({
        {"a drive becoming ready for a while", "unready=4polls", false, burnSteps, 0},
        {"no medium for a moment after loading: not ejected",
         "no-medium-for=20polls",
         false,
         concat({prompt}, burnSteps),
         0,
         {},
         "!1B 00 00 00 02, 2A"},
        {"blank DVD-R, written incrementally", "medium=dvd-r", false, burnSteps, 0},
        {"appendable DVD+R", "medium=dvd+r&state=appendable", false, burnSteps, 0},
        {"BD-R with two sessions", "medium=bd-r&state=appendable&sessions=2", false, burnSteps, 0},
        {"a refused speed does not hide the write error",
         "medium=dvd-r&refuse=B6&fail-at-sector=20",
         false,
         {preparing, writing, writeError},
         1,
         {},
         "B6, 2A"},
    });
}

// libburn calls every overwritable disc blank: one holding a file system is
// written over only when erasing was asked for. Nothing is erased or
// formatted for a test burn, nor when the image would not fit afterwards.
TEST_F(BurnFlow, ADiscHoldingDataIsTouchedOnlyWhenErasingWasAskedForAndFits) {
    const Lines notWritable = {"Media is not writable", prompt};
    const Lines noSpace = {"Media does not have enough free space", prompt};
    runCases({
        {"DVD+RW and BD-RE holding sessions, then a blank DVD+RW",
         "medium=dvd+rw,bd-re,dvd+rw&state=appendable,full,blank",
         false,
         concat(concat(notWritable, {notWritable[0]}), burnSteps),
         0,
         {},
         "!2A, 1B 00 00 00 02, !2A, 1B 00 00 00 02, 2A",
         "volume volume image"},
        {"full CD-RW and DVD-RW too small for the image, then a blank CD-RW",
         "medium=cd-rw,dvd-rw,cd-rw&state=full,full,blank&capacity=200k,200k,10M",
         true,
         concat(concat(noSpace, {noSpace[0]}), burnSteps),
         0,
         {},
         "!A1, 1B 00 00 00 02, !A1, 1B 00 00 00 02, !A1, 2A",
         "volume volume image"},
        {"a test burn never erases",
         "medium=cd-rw&state=full",
         true,
         {"burn failed - A test burn never erases the disc, and this CD-RW holds data"},
         1,
         {"-testburn"},
         "!A1, !2A",
         "volume"},
        {"nor writes over a disc that cannot simulate",
         "medium=dvd+rw&state=full",
         true,
         {"burn failed - This disc (DVD+RW) cannot simulate a burn"},
         1,
         {"-testburn"},
         "!04, !2A",
         "volume"},
    });
}

// The eject and load before the verify make the drive read the disc itself.
TEST_F(BurnFlow, DiscsAreFormattedBlankedAndWrittenOverAsAsked) {
    runCases({
        {"DVD+RW written over, reloaded to verify",
         "medium=dvd+rw&state=appendable",
         true,
         burnSteps,
         0,
         {},
         "2A, 1B 00 00 00 02, 1B 00 00 00 03, 28"},
        {"BD-RE written over", "medium=bd-re&state=full", true, burnSteps, 0},
        {"new BD-RE formatted first",
         "medium=bd-re&state=unformatted&erase-time=6polls",
         false,
         burnSteps,
         0,
         {},
         "!2A, 04, 2A"},
        {"new DVD+RW formatted first",
         "medium=dvd+rw&state=unformatted",
         false,
         burnSteps,
         0,
         {},
         "!2A, 04, 2A"},
        {"DVD-RW kept appendable: blanked fully",
         "medium=dvd-rw&state=full",
         true,
         burnSteps,
         0,
         {"-noforceclose"},
         "!A1 11, A1 10, 2A"},
        {"fast blank refused: blanked fully",
         "medium=dvd-rw&state=full&no-fast-blank",
         true,
         burnSteps,
         0,
         {},
         "A1 11, A1 10, 2A"},
    });
}

TEST_F(BurnFlow, ADiscInsertedAfterThePromptIsBurned) {
    ToolRun run(arguments(sim("insert-after=@" + trigger())));
    ASSERT_TRUE(run.waitForLine(prompt));
    pull();
    EXPECT_EQ(run.finish(), 0);
    EXPECT_EQ(checkTranscript(run.lines()), "");
    EXPECT_EQ(stepsOf(run.lines()), concat({prompt}, burnSteps));
}

TEST_F(BurnFlow, AnAppendedSessionLandsBehindTheEarlierOnesAndVerifiesThere) {
    const ToolResult result = runTool(arguments(sim("state=appendable&used=64k")));
    EXPECT_EQ(result.status, 0);
    // The earlier session's volume descriptor is where it was.
    const std::vector<char> disc = readWholeFile(backing());
    ASSERT_GT(disc.size(), 16u * 2048 + 6);
    EXPECT_EQ(std::string(disc.data() + 16 * 2048 + 1, 5), "CD001");
    EXPECT_GT(imageSector(), 32);
}

TEST_F(BurnFlow, ErasingARewritableDiscComesFirstAndStartsWithTwoIndefiniteLines) {
    const ToolResult result =
        runTool(arguments(sim("medium=cd-rw&state=full&erase-time=300ms"), true));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(checkTranscript(result.lines), "");
    ASSERT_GE(result.lines.size(), 3u);
    EXPECT_EQ(result.lines[0], "PERCENT:-1");
    EXPECT_EQ(result.lines[1], "PERCENT:-1");
    const auto prepared = std::find(result.lines.begin(), result.lines.end(), preparing);
    ASSERT_NE(prepared, result.lines.end());
    EXPECT_EQ(*(prepared - 1), "PERCENT:100") << "the erase ends at 100 before the burn";
    EXPECT_EQ(stepsOf(result.lines), burnSteps);
    EXPECT_EQ(imageSector(), 0);
}

TEST_F(BurnFlow, ADiscThatCannotBeUsedIsEjectedAndTheToolWaitsQuietly) {
    ToolRun run(arguments(sim("state=full")));
    ASSERT_TRUE(run.waitForLine("Media is not writable"));
    ASSERT_TRUE(run.waitForLine(prompt));
    // The drive stays empty: nothing more comes until the user cancels.
    run.sendSignal(SIGTERM);
    EXPECT_EQ(run.finish(), 128 + SIGTERM);
    EXPECT_EQ(checkTranscript(run.lines()), "");
    EXPECT_EQ(stepsOf(run.lines()),
              (Lines{"Media is not writable", prompt, "burn failed - Canceled by SIGTERM"}));
}

TEST_F(BurnFlow, AWriteErrorNamesLibburnsReason) {
    const ToolResult result = runTool(arguments(sim("fail-at-sector=20")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(checkTranscript(result.lines), "");
    const Lines steps = stepsOf(result.lines);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0], preparing);
    EXPECT_EQ(steps[1], writing);
    EXPECT_TRUE(startsWith(steps[2], "burn failed - Writing failed: "));
    EXPECT_NE(steps[2].find("Write error"), std::string::npos) << steps[2];
}

TEST_F(BurnFlow, ADriveLostWhileWritingIsReportedAsGone) {
    const ToolResult result = runTool(arguments(sim("lost-at=30")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(checkTranscript(result.lines), "");
    EXPECT_EQ(stepsOf(result.lines), (Lines{preparing, writing, noDrive}));
}

TEST_F(BurnFlow, AVerifyMismatchNamesTheFirstDifferingSector) {
    const ToolResult result = runTool(arguments(sim("bad-sector=37")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(checkTranscript(result.lines), "");
    const Lines steps = stepsOf(result.lines);
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[4], verifying);
    EXPECT_TRUE(startsWith(steps[5], "burn failed - Verify failed: sector 37 ")) << steps[5];
}

TEST_F(BurnFlow, WithoutVerifyTheBurnEndsAfterFinishing) {
    Lines args = arguments(sim(""));
    args[2] = "-noverifyburn";
    const ToolResult result = runTool(args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(stepsOf(result.lines), (Lines{preparing, writing, closing, finishing, success}));
}

TEST_F(BurnFlow, ATestBurnWritesNothingWhereTheMediumCanSimulate) {
    const ToolResult simulated =
        runTool(arguments(sim("medium=cd-r"), false, "max", {"-testburn"}));
    EXPECT_EQ(simulated.status, 0);
    EXPECT_EQ(stepsOf(simulated.lines), (Lines{preparing, writing, closing, finishing, success}));
    EXPECT_TRUE(readWholeFile(backing()).empty());

    const ToolResult refused = runTool(arguments(sim("medium=dvd+r"), false, "max", {"-testburn"}));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(stepsOf(refused.lines),
              (Lines{"burn failed - This disc (DVD+R) cannot simulate a burn"}));
}

TEST_F(BurnFlow, AMissingDriveSaysNoDrivesAndNothingElse) {
    const ToolResult result = runTool(arguments(scratch_.file("sr7")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.lines, (Lines{noDrive}));
}

TEST_F(BurnFlow, AnUnusableImageFailsBeforeTheDriveIsTouched) {
    const std::string empty = scratch_.file("empty.iso");
    std::ofstream{empty};
    const std::vector<std::pair<std::string, std::string>> cases = {
        {scratch_.file("missing.iso"), "burn failed - Cannot open the image "},
        {scratch_.path().string(),
         "burn failed - The image " + scratch_.path().string() + " is not a regular file"},
        {empty, "burn failed - The image " + empty + " is empty"},
    };
    for (const auto& [image, failure] : cases) {
        Lines args = arguments(sim("busy"));
        args[1] = image;
        const ToolResult result = runTool(args);
        EXPECT_EQ(result.status, 1) << image;
        ASSERT_EQ(result.lines.size(), 1u) << image;
        EXPECT_TRUE(startsWith(result.lines[0], failure)) << result.lines[0];
    }
}

TEST_F(BurnFlow, ADriveTheUserMayNotOpenSaysHowToGetAccess) {
    const std::string device = scratch_.file("sr0");
    std::ofstream{device};
    const bool root = ::getuid() == 0;
    ::chmod(device.c_str(), root ? 0660 : 0000);
    ToolRun::Options options;
    options.asNobody = root;
    const ToolResult result = runTool(arguments(device), options);
    if (root && (result.status == 126 || result.status == 127)) {
        GTEST_SKIP() << "cannot run the tool as user nobody here (status " << result.status
                     << ": privileges not dropped, or the build folder closed to others)";
    }
    EXPECT_EQ(result.status, 1);
    ASSERT_EQ(result.lines.size(), 1u);
    EXPECT_TRUE(startsWith(result.lines[0], "burn failed - You may not use " + device))
        << result.lines[0];
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

TEST_F(BurnFlow, ASignalWhileWritingCancelsTheWrite) {
    ToolRun run(arguments(sim("medium=dvd-r&stall-at=64&resume=@" + trigger())));
    ASSERT_TRUE(run.waitForLine(writing));
    run.sendSignal(SIGTERM);
    pull();
    EXPECT_EQ(run.finish(), 128 + SIGTERM);
    EXPECT_EQ(checkTranscript(run.lines()), "");
    EXPECT_EQ(stepsOf(run.lines()),
              (Lines{preparing, writing, "burn failed - Canceled by SIGTERM"}));
}

TEST_F(BurnFlow, ASignalWhileVerifyingStopsTheVerify) {
    ToolRun run(arguments(sim("medium=dvd-r&stall-read-at=64&resume=@" + trigger())));
    ASSERT_TRUE(run.waitForLine(verifying));
    run.sendSignal(SIGTERM);
    pull();
    EXPECT_EQ(run.finish(), 128 + SIGTERM);
    EXPECT_EQ(checkTranscript(run.lines()), "");
    EXPECT_EQ(stepsOf(run.lines()), (Lines{preparing, writing, closing, finishing, verifying,
                                           "burn failed - Canceled by SIGTERM"}));
}

// A cancel while the drive holds a command of the preparation never starts
// the write; one while it closes the track lets it finish and close the disc.
TEST_F(BurnFlow, ASignalBeforeWritingLeavesTheDiscBlankAndOneWhileClosingLetsItClose) {
    ToolRun before(arguments(sim("medium=dvd-r&stall-on=B6&resume=@" + trigger())));
    ASSERT_TRUE(received("B6"));
    before.sendSignal(SIGTERM);
    pull();
    EXPECT_EQ(before.finish(), 128 + SIGTERM);
    EXPECT_EQ(stepsOf(before.lines()), (Lines{preparing, "burn failed - Canceled by SIGTERM"}));
    EXPECT_EQ(checkCommands(log(), "!53, !2A, !5B"), "");
    checkDiscs("blank");

    newDisc();
    ToolRun whileClosing(arguments(sim("medium=dvd+r&stall-on=5B&resume=@" + trigger())));
    ASSERT_TRUE(whileClosing.waitForLine(closing) && received("5B"));
    whileClosing.sendSignal(SIGTERM);
    pull();
    EXPECT_EQ(whileClosing.finish(), 128 + SIGTERM);
    EXPECT_EQ(stepsOf(whileClosing.lines()),
              (Lines{preparing, writing, closing, finishing,
                     "burn failed - Canceled by SIGTERM after the disc was written and closed"}));
    EXPECT_EQ(checkCommands(log(), "5B 01 01, 5B 01 05"), "");
    checkDiscs("image");
}

// libburn waits minutes for a drive that says it is becoming ready: the tool
// still answers a cancel, and once the drive was unready too long (here at
// once) says so, asks for another disc and ejects this one when it can.
TEST_F(BurnFlow, ADriveThatStaysUnreadyIsGivenUpOn) {
    ToolRun::Options noPatience;
    noPatience.environment = {"EMBERLIN_DISCTOOL_UNREADY_MS=0"};
    const Lines givenUp = {"Media is not writable", prompt, "burn failed - Canceled by SIGTERM"};
    ToolRun forever(arguments(sim("unready")), noPatience);
    ASSERT_TRUE(forever.waitForLine(prompt));
    forever.sendSignal(SIGTERM);
    EXPECT_EQ(forever.finish(), 128 + SIGTERM);
    EXPECT_EQ(forever.lines(), givenUp);

    newDisc();
    ToolRun late(arguments(sim("unready=@" + trigger())), noPatience);
    ASSERT_TRUE(late.waitForLine(prompt));
    pull();
    ASSERT_TRUE(received("1B 00 00 00 02")) << "ejected once libburn let go";
    late.sendSignal(SIGTERM);
    EXPECT_EQ(late.finish(), 128 + SIGTERM);
    EXPECT_EQ(late.lines(), givenUp);
    EXPECT_EQ(checkCommands(log(), "!2A"), "");
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
        newDisc();
        const ToolResult result =
            runTool({"burn", imagePath(), "-speed", speed,
                     speed == "max" ? "-verifyburn" : "-noverifyburn", "-device", sim(parameters)});
        EXPECT_EQ(result.status, 0) << parameters;
        EXPECT_NE(std::find(result.lines.begin(), result.lines.end(), remark), result.lines.end())
            << parameters;
        EXPECT_EQ(result.lines.back(), "Burn completed successfully.") << parameters;
    }
    EXPECT_EQ(checkCommands(log(), "2A, !1B 00 00 00 03, 28"), "") << "no load by hand";
}

} // namespace
