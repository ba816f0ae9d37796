#include "ControllerHarness.h"
#include "ProcessTestSupport.h"
#include "StateTrail.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>

namespace {

using Alert = RecordingAlerts::Alert;
using namespace FakeDirective;

bool reaped(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Waits until every stand-in started so far has exited and its end has been
// handled by the window.
bool waitUntilAllReaped(const ControllerHarness& harness) {
    return FakeToolScript::waitUntil([&] {
        for (qint64 pid : harness.fake.pids()) {
            if (!reaped(pid))
                return false;
        }
        return true;
    });
}

class BurnTest : public testing::Test {
protected:
    void SetUp() override {
        harness.listTwoBurners();
        harness.start();
    }
    ControllerHarness harness;
};

struct ArgumentsCase {
    const char* name;
    bool appendable;
    bool verify;
    bool erase;
    QString speedTitle;
    int burner;
    QStringList expectedAfterPath;
};

void PrintTo(const ArgumentsCase& c, std::ostream* os) {
    *os << c.name;
}

class BurnArgumentsTest : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(BurnArgumentsTest, ToolReceivesTheWindowsOptions) {
    const ArgumentsCase& c = GetParam();
    ControllerHarness harness;
    harness.listTwoBurners();
    harness.fake.setBurn({hang()});
    harness.start();
    harness.ui().appendableCheckbox->setChecked(c.appendable);
    harness.ui().verifyCheckbox->setChecked(c.verify);
    harness.ui().eraseCheckbox->setChecked(c.erase);
    harness.ui().burnSpeedMenu->setCurrentText(c.speedTitle);
    harness.ui().burnerMenu->setCurrentIndex(c.burner);
    const QString image = harness.makeImage(QStringLiteral("My Disc Image.iso"));

    harness.controller().openFiles({image, harness.makeImage(QStringLiteral("other.iso"))});

    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.burnCalls().front(),
              QStringList({QStringLiteral("burn"), image}) + c.expectedAfterPath);
    EXPECT_EQ(harness.state().imagePath, image);
    EXPECT_EQ(harness.ui().filenameField->text(), QStringLiteral("My Disc Image.iso"));
    EXPECT_EQ(harness.ui().deviceStatusField->text(), QStringLiteral("Please wait..."));
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    EXPECT_NE(harness.state().burnTask, nullptr);
}

const QString sr0 = firstBurnerDevice;
const QString sr1 = secondBurnerDevice;

INSTANTIATE_TEST_SUITE_P(
    Options, BurnArgumentsTest,
    testing::Values(ArgumentsCase{"Defaults", false, true, true, QStringLiteral("max"), 0,
                                  QStringList{"-verifyburn", "-forceclose", "-speed", "max",
                                              "-erase", "-puppetstrings", "-device", sr0}},
                    ArgumentsCase{"AppendableNoVerifyNoErase8x", true, false, false,
                                  QStringLiteral("8x"), 0,
                                  QStringList{"-noverifyburn", "-noforceclose", "-speed", "8",
                                              "-puppetstrings", "-device", sr0}},
                    ArgumentsCase{"TrimmedDevice24x", false, true, false, QStringLiteral("24x"), 1,
                                  QStringList{"-verifyburn", "-forceclose", "-speed", "24",
                                              "-puppetstrings", "-device", sr1}},
                    ArgumentsCase{"Everything1x", true, true, true, QStringLiteral("1x"), 1,
                                  QStringList{"-verifyburn", "-noforceclose", "-speed", "1",
                                              "-erase", "-puppetstrings", "-device", sr1}}),
    [](const testing::TestParamInfo<ArgumentsCase>& info) { return info.param.name; });

TEST_F(BurnTest, RelativeImagePathReachesTheToolAbsolute) {
    harness.fake.setBurn({hang()});
    const QString image = harness.makeImage(QStringLiteral("relative.iso"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QFileInfo(image).absolutePath());
    harness.controller().openFiles({QStringLiteral("relative.iso")});
    QDir::setCurrent(previous);

    EXPECT_EQ(harness.state().imagePath, image);
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.burnCalls().front().at(1), image);
}

TEST_F(BurnTest, MissingImageIsReported) {
    QString statusDuringAlert;
    harness.alerts.answer = [&](const Alert&) {
        statusDuringAlert = harness.ui().deviceStatusField->text();
        return 0;
    };
    harness.controller().doBurn(harness.scratchPath(QStringLiteral("gone.iso")));

    EXPECT_EQ(statusDuringAlert, QStringLiteral("Please wait..."));
    EXPECT_EQ(harness.alerts.shown,
              (std::vector<Alert>{{QStringLiteral("Image file not found"),
                                   QStringLiteral("The image file cannot be found (perhaps it has "
                                                  "been renamed or moved?)"),
                                   {QStringLiteral("OK")}}}));
    EXPECT_EQ(harness.ui().deviceStatusField->text(),
              QStringLiteral("Burn failed - image file not found"));
    EXPECT_EQ(harness.ui().filenameField->text(), QStringLiteral("gone.iso"));
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    EXPECT_EQ(harness.state().burnTask, nullptr);
    EXPECT_TRUE(harness.sounds.played.isEmpty());
}

struct NoDeviceCase {
    const char* name;
    QStringList listing;
};

void PrintTo(const NoDeviceCase& c, std::ostream* os) {
    *os << c.name;
}

class NoDeviceTest : public testing::TestWithParam<NoDeviceCase> {};

TEST_P(NoDeviceTest, BurnDoesNotStart) {
    ControllerHarness harness;
    harness.fake.setListing(GetParam().listing);
    harness.start();
    ASSERT_EQ(harness.state().burnState, BurnStateReady);

    harness.controller().doBurn(harness.makeImage());

    EXPECT_EQ(harness.ui().deviceStatusField->text(),
              QStringLiteral("Burn failed - no burner is selected"));
    EXPECT_EQ(harness.sounds.played, QStringList{ControllerHarness::failureSound()});
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    EXPECT_EQ(harness.state().burnTask, nullptr);
    EXPECT_TRUE(harness.alerts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Listings, NoDeviceTest,
    testing::Values(NoDeviceCase{"NoBurnerListed", {}},
                    NoDeviceCase{"NameWithoutDevice",
                                 {line(QStringLiteral("Lonely Writer via USB"))}}),
    [](const testing::TestParamInfo<NoDeviceCase>& info) { return info.param.name; });

int openDescriptorCount() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                                .size());
}

TEST(BurnLaunchTest, ToolThatCannotStartIsReported) {
    QTemporaryDir folder;
    const QString tool = FakeToolScript::installTool(folder.path());
    ASSERT_FALSE(tool.isEmpty());
    ControllerHarness::Options options;
    options.toolPath = tool;
    ControllerHarness harness(options);
    harness.listTwoBurners();
    harness.start();
    ASSERT_EQ(harness.ui().burnerMenu->count(), 2);
    ASSERT_TRUE(QFile::remove(tool));
    const QString image = harness.makeImage();
    const int descriptorsBefore = openDescriptorCount();

    harness.controller().doBurn(image);

    const QString status = harness.ui().deviceStatusField->text();
    EXPECT_TRUE(status.startsWith(
        QStringLiteral("Burn failed - the disc-image tool could not be started (%1: ").arg(tool)))
        << status.toStdString();
    EXPECT_EQ(harness.sounds.played, QStringList{ControllerHarness::failureSound()});
    ASSERT_EQ(harness.alerts.shown.size(), 1u);
    EXPECT_EQ(harness.alerts.shown[0].message, QStringLiteral("Burn failed"));
    EXPECT_TRUE(harness.alerts.shown[0].informative.contains(tool));
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    EXPECT_EQ(harness.state().burnTask, nullptr);
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
}

TEST_F(BurnTest, LineWrittenInTwoPartsIsOneLine) {
    harness.fake.setBurn({text(QStringLiteral("Preparing data ")), sleepFor(150),
                          line(QStringLiteral("for burn")), hang()});
    harness.controller().doBurn(harness.makeImage());
    ASSERT_TRUE(
        FakeToolScript::waitUntil([&] { return harness.state().burnState == BurnStateBurning; }));
    EXPECT_EQ(harness.ui().deviceStatusField->text(), QStringLiteral("Starting..."));
}

TEST_F(BurnTest, ClosingLineSplitAcrossReadsEndsTheBurn) {
    harness.fake.setBurn({line(QStringLiteral("Preparing data for burn")),
                          text(QStringLiteral("Burn completed succ")), sleepFor(150),
                          line(QStringLiteral("essfully")), exitWith(0)});
    harness.controller().doBurn(harness.makeImage());
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    ASSERT_TRUE(waitUntilAllReaped(harness));
    QCoreApplication::processEvents();

    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    EXPECT_EQ(harness.ui().deviceStatusField->text(),
              QStringLiteral("Burn completed successfully - ready to burn another disk image."));
    EXPECT_EQ(harness.sounds.played, QStringList{ControllerHarness::successSound()});
    EXPECT_TRUE(harness.alerts.shown.empty()) << "a closed burn may end its tool";
}

struct ExitCase {
    const char* name;
    QStringList transcript;
    QString how;
};

void PrintTo(const ExitCase& c, std::ostream* os) {
    *os << c.name;
}

class ToolStoppedTest : public testing::TestWithParam<ExitCase> {};

TEST_P(ToolStoppedTest, EndWithoutClosingLineIsAFailure) {
    const ExitCase& c = GetParam();
    ControllerHarness harness;
    harness.listTwoBurners();
    harness.start();
    harness.fake.setBurn(c.transcript);
    harness.controller().doBurn(harness.makeImage());

    ASSERT_TRUE(FakeToolScript::waitUntil([&] { return !harness.alerts.shown.empty(); }));
    EXPECT_EQ(
        harness.ui().deviceStatusField->text(),
        QStringLiteral("Burn failed - the disc-image tool stopped unexpectedly (%1)").arg(c.how));
    EXPECT_EQ(harness.alerts.shown,
              (std::vector<Alert>{
                  {QStringLiteral("Burn failed"),
                   QStringLiteral("The disc-image tool stopped unexpectedly (%1).").arg(c.how),
                   {QStringLiteral("OK")}}}));
    EXPECT_EQ(harness.sounds.played, QStringList{ControllerHarness::failureSound()});
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    EXPECT_TRUE(harness.ui().progressBar->isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Ends, ToolStoppedTest,
    testing::Values(ExitCase{"Exits",
                             {line(QStringLiteral("Preparing data for burn")), exitWith(3)},
                             QStringLiteral("exit status 3")},
                    ExitCase{"Crashes",
                             {line(QStringLiteral("Preparing data for burn")),
                              line(QStringLiteral("PERCENT:20")), crash()},
                             QStringLiteral("signal 9")},
                    ExitCase{"SaysNothing", {}, QStringLiteral("exit status 0")}),
    [](const testing::TestParamInfo<ExitCase>& info) { return info.param.name; });

TEST_F(BurnTest, SecondBurnStopsTheFirst) {
    harness.fake.setBurn({line(QStringLiteral("Please insert a disc:")), hang()});
    harness.controller().doBurn(harness.makeImage(QStringLiteral("first.iso")));
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    harness.controller().doBurn(harness.makeImage(QStringLiteral("second.iso")));
    ASSERT_TRUE(harness.waitForBurnCalls(2));

    // SIGTERM, and the hang-up of its terminal closing, whichever it meets first.
    ASSERT_TRUE(FakeToolScript::waitUntil([&] { return !harness.fake.signalsReceived().empty(); }));
    for (int signalNumber : harness.fake.signalsReceived())
        EXPECT_TRUE(signalNumber == SIGTERM || signalNumber == SIGHUP) << signalNumber;
    const std::vector<qint64> pids = harness.fake.pids();
    ASSERT_EQ(pids.size(), 3u); // listing, first burn, second burn
    ASSERT_TRUE(FakeToolScript::waitUntil([&] { return reaped(pids[1]); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(harness.alerts.shown.empty()) << "a burn we stopped is not a failure";
    EXPECT_EQ(harness.ui().filenameField->text(), QStringLiteral("second.iso"));
}

TEST_F(BurnTest, TwoHundredBurnsLeaveNothingBehind) {
    harness.fake.setBurn({line(QStringLiteral("Please insert a disc:")), hang()});
    const QString image = harness.makeImage();
    // Children of earlier tests in this process may still be winding up.
    ASSERT_TRUE(FakeToolScript::waitUntil([] { return childProcessCount() == 0; }));
    const int descriptorsBefore = openDescriptorCount();

    constexpr std::size_t burns = 200;
    for (std::size_t burn = 1; burn <= burns; ++burn) {
        harness.controller().doBurn(image);
        ASSERT_TRUE(harness.waitForBurnCalls(burn));
    }
    harness.controller().cancel();

    ASSERT_TRUE(waitUntilAllReaped(harness));
    ASSERT_TRUE(FakeToolScript::waitUntil(
        [&] { return openDescriptorCount() == descriptorsBefore && childProcessCount() == 0; }));
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(BurnTest, NewBurnStartedFromInsideAnAlert) {
    harness.fake.setBurn({line(QStringLiteral("Preparing data for burn")),
                          line(QStringLiteral("no CD/DVD drives present")),
                          line(QStringLiteral("PERCENT:50")), hang()});
    const QString second = harness.makeImage(QStringLiteral("second.iso"));
    harness.alerts.answer = [&](const Alert&) {
        if (harness.alerts.shown.size() == 1) {
            harness.controller().doBurn(second);
            // The alert stays open a while, its event loop running.
            EXPECT_TRUE(harness.waitForBurnCalls(2));
        }
        return 0;
    };
    harness.controller().doBurn(harness.makeImage(QStringLiteral("first.iso")));

    // The first burn's alert must not silence the second burn, whose own lost
    // burner then shows the second alert and rescans.
    ASSERT_TRUE(FakeToolScript::waitUntil([&] { return harness.alerts.shown.size() == 2; }));
    ASSERT_TRUE(
        FakeToolScript::waitUntil([&] { return harness.state().burnState == BurnStateReady; }));
    EXPECT_EQ(harness.burnCalls().size(), 2u);
    EXPECT_EQ(harness.fake.calls().size() - harness.burnCalls().size(), 2u)
        << "one listing at start-up and one rescan";
    EXPECT_EQ(harness.ui().filenameField->text(), QStringLiteral("second.iso"));
}

TEST(BurnPtyTest, NoPseudoTerminalEndsTheApplication) {
    RefusingPtyOpener refusing;
    ControllerHarness::Options options;
    options.ptyOpener = &refusing;
    ControllerHarness harness(options);
    harness.listTwoBurners();
    harness.start();
    int terminationRequests = 0;
    QObject::connect(&harness.controller(), &EmberlinController::terminationRequested,
                     [&] { ++terminationRequests; });

    harness.controller().doBurn(harness.makeImage());

    EXPECT_EQ(harness.alerts.shown,
              (std::vector<Alert>{{QStringLiteral("Eeek! Unexpected System Error"),
                                   QStringLiteral("Unable to get/set psuedo-tty file descriptors.  "
                                                  "Not sure what to do next..."),
                                   {QStringLiteral("Quit")}}}));
    EXPECT_EQ(terminationRequests, 1);
    EXPECT_EQ(harness.state().burnTask, nullptr);
    EXPECT_TRUE(harness.burnCalls().empty());
}

class FullBurnTest : public testing::TestWithParam<bool> {};

TEST_P(FullBurnTest, PassesEveryStateToReady) {
    const bool erase = GetParam();
    ControllerHarness harness;
    harness.listTwoBurners();
    harness.fake.setBurn(
        {text(QStringLiteral("Please insert a disc:")), sleepFor(50), line(QString()),
         line(QStringLiteral("PERCENT:-1")), line(QStringLiteral("PERCENT:30")),
         line(QStringLiteral("Preparing data for burn")), line(QStringLiteral("Writing track 1")),
         line(QStringLiteral("PERCENT:60")), line(QStringLiteral("Closing session")),
         line(QStringLiteral("Finishing burn")), line(QStringLiteral("Verifying burn")),
         line(QStringLiteral("PERCENT:90")), line(QStringLiteral("Burn completed successfully")),
         exitWith(0)});
    harness.start();
    harness.ui().eraseCheckbox->setChecked(erase);
    StateTrail trail(harness.controller());

    harness.controller().openFiles({harness.makeImage()});
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.burnCalls().front().contains(QStringLiteral("-erase")), erase);
    ASSERT_TRUE(waitUntilAllReaped(harness));
    QCoreApplication::processEvents();

    const std::vector<int> expected =
        erase ? std::vector<int>{BurnStateAwaitingDiscToErase, BurnStateErasing, BurnStateBurning,
                                 BurnStateVerifying, BurnStateReady}
              : std::vector<int>{BurnStateAwaitingDisc, BurnStateBurning, BurnStateVerifying,
                                 BurnStateReady};
    EXPECT_EQ(trail.states, expected);
    EXPECT_EQ(harness.ui().deviceStatusField->text(),
              QStringLiteral("Burn completed successfully - ready to burn another disk image."));
    EXPECT_EQ(harness.sounds.played, QStringList{ControllerHarness::successSound()});
    EXPECT_TRUE(harness.alerts.shown.empty());
    EXPECT_TRUE(harness.ui().burnAgainButton->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(EraseOnAndOff, FullBurnTest, testing::Bool());

} // namespace
