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
#include <string>
#include <sys/stat.h>
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

struct FlowCase {
    std::string name;
    std::string parameters;
    bool erase;
    Lines steps;
    int status;
};

class BurnFlow : public ::testing::Test {
protected:
    void SetUp() override { image_ = writeTestImage(imagePath(), 300001); }

    std::string imagePath() const { return scratch_.file("image.iso"); }
    // A drive keeps what was done to its disc: each test case takes a new one.
    void newDisc() { ++disc_; }
    std::string backing() const { return scratch_.file("disc" + std::to_string(disc_) + ".img"); }
    std::string sim(const std::string& parameters) const {
        return "sim:" + backing() + (parameters.empty() ? "" : "?" + parameters);
    }
    // A file the test creates when the drive shall go on.
    std::string trigger() const { return scratch_.file("go"); }
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
    std::ptrdiff_t imageSector() const {
        for (const std::string& file : {backing(), backing() + ".2"}) {
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

    void runCases(const std::vector<FlowCase>& cases);

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
        const ToolResult result = runTool(arguments(sim(c.parameters), c.erase));
        EXPECT_EQ(checkTranscript(result.lines), "");
        EXPECT_EQ(stepsOf(result.lines), c.steps);
        EXPECT_EQ(result.status, c.status);
        if (c.status == 0) {
            EXPECT_GE(imageSector(), 0) << "the image is on the disc";
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
    runCases({
        {"a drive becoming ready for a while", "unready=4polls", false, burnSteps, 0},
        {"no medium at first after loading", "no-medium-for=1polls", false, burnSteps, 0},
        {"blank DVD-R, written incrementally", "medium=dvd-r", false, burnSteps, 0},
        {"appendable DVD+R", "medium=dvd+r&state=appendable", false, burnSteps, 0},
        {"BD-R with two sessions", "medium=bd-r&state=appendable&sessions=2", false, burnSteps, 0},
        {"unformatted DVD+RW, formatted by writing", "medium=dvd+rw&state=unformatted", false,
         burnSteps, 0},
        {"full DVD-RW erased, then written", "medium=dvd-rw&state=full", true, burnSteps, 0},
        {"formatted BD-RE", "medium=bd-re", false, burnSteps, 0},
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

} // namespace
