#include "tests/app/AppHarness.h"
#include "views/CopyBurnerRow.h"
#include "views/DropZone.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>
#include <csignal>

using namespace emberlin;

namespace {

using Alert = RecordingAlerts::Alert;

using BurnTest = TwoBurnersTest;

struct ArgumentsCase {
    const char* name;
    BurnChoices choices;
    int burner;
    QStringList afterPath;
};

class BurnArgumentsTest : public BurnTest, public testing::WithParamInterface<ArgumentsCase> {};

TEST_P(BurnArgumentsTest, ToolReceivesTheWindowsOptions) {
    const ArgumentsCase& c = GetParam();
    harness.window().setChoices(c.choices);
    harness.ui().burnerMenu->setCurrentIndex(c.burner);
    const QString image = harness.makeImage("My Disc Image.iso");
    harness.controller().openFiles({image, harness.makeImage("other.iso")});

    ASSERT_TRUE(harness.waitForBurnCalls(1));
    // The system's tool (macOS) is not told to ask.
    QStringList expected = QStringList({"burn", image}) + c.afterPath;
    if (platformBurnTool == BurnTool::System)
        expected.removeAll(qtText(toolprotocol::askBeforeErasingOption));
    EXPECT_EQ(harness.fake.burnCalls().front(), expected);
    EXPECT_EQ(harness.ui().filenameField->text(), "My Disc Image.iso");
    EXPECT_EQ(harness.status(), "Please wait...");
    EXPECT_EQ(harness.state(), BurnStateReady);
    // Without a checksum file the second line says so, quietly.
    EXPECT_EQ(harness.window().findChild<QLabel*>("checksumField")->text(),
              "No checksum file was found beside “My Disc Image.iso”.");
    EXPECT_TRUE(harness.alerts.shown.empty() && harness.sounds.played.empty());
}

const QString sr0 = firstBurnerDevice;
const QString sr1 = secondBurnerDevice; // listed with blanks and tabs around it

// clang-format off
INSTANTIATE_TEST_SUITE_P(Options, BurnArgumentsTest, testing::Values(
    ArgumentsCase{"Defaults", {}, 0, {"-verifyburn", "-forceclose", "-speed", "max", "-erase", "-askbeforeerasing", "-puppetstrings", "-device", sr0}},
    ArgumentsCase{"AppendableNoVerifyNoErase8x", {true, false, false, "8x"}, 0, {"-noverifyburn", "-noforceclose", "-speed", "8", "-puppetstrings", "-device", sr0}},
    ArgumentsCase{"TrimmedDevice24x", {false, true, false, "24x"}, 1, {"-verifyburn", "-forceclose", "-speed", "24", "-puppetstrings", "-device", sr1}},
    ArgumentsCase{"Everything1x", {true, true, true, "1x"}, 1, {"-verifyburn", "-noforceclose", "-speed", "1", "-erase", "-askbeforeerasing", "-puppetstrings", "-device", sr1}}),
    NamedCase());
// clang-format on

TEST_F(BurnTest, AFolderOrARelativePathReachesTheToolWithItsNameShown) {
    const QString folder = harness.scratchPath("folder.iso");
    ASSERT_TRUE(QDir().mkpath(folder));
    harness.controller().openFiles({folder + u'/'});
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.ui().filenameField->text(), "folder.iso");

    const QString image = harness.makeImage("relative.iso");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QFileInfo(image).absolutePath());
    harness.controller().openFiles({"relative.iso"});
    QDir::setCurrent(previous);
    ASSERT_TRUE(harness.waitForBurnCalls(2));
    EXPECT_EQ(harness.fake.burnCalls().back().at(1), image);
}

// The question's event loop may start another burn: the answer then reaches
// no tool, not the new burn's, which asks for itself.
TEST_F(BurnTest, AnAnswerGoesOnlyToTheBurnThatAsked) {
    harness.fake.setBurn({fake::say("FACT: medium=cd-rw disc-holds=an%20ext2%20file%20system\n"
                                    "QUESTION:erase-disc-holding-data\n"),
                          fake::readLine(), fake::hang()});
    int asked = 0;
    harness.alerts.answer = [&](const Alert& alert) {
        if (++asked > 1)
            return alert.defaultButton;
        harness.controller().cancel();
        harness.controller().burnAgain();
        return 0; // Erase Disc, for a burn that is gone
    };
    harness.controller().openFiles({harness.makeImage()});
    ASSERT_TRUE(waitFor([&] { return harness.fake.marked("read-keep"); }));
    EXPECT_FALSE(harness.fake.marked("read-erase"));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(harness.alerts.shown.back().informative,
              "The CD-RW in “Virtual Writer” holds an ext2 file system. Erasing it destroys "
              "what it holds.");
}

class MissingImageTest : public BurnTest, public testing::WithParamInterface<bool> {};

// Opened or dropped, a missing image stays the image: burn again tries it again.
TEST_P(MissingImageTest, IsReportedAndStaysTheImage) {
    const QString gone = harness.scratchPath("gone.iso");
    QString statusDuringAlert;
    harness.alerts.answer = [&](const Alert&) {
        statusDuringAlert = harness.status();
        return 0;
    };
    if (GetParam()) {
        harness.controller().openFiles({gone});
    } else {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(gone)});
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(harness.ui().dropZone, &enter);
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(harness.ui().dropZone, &drop);
    }
    const Alert missing{"Image file not found",
                        QString("The image file cannot be found (perhaps it has been "
                                "renamed or moved?)"),
                        {"OK"}};
    EXPECT_EQ(harness.alerts.shown, std::vector<Alert>{missing});
    EXPECT_EQ(statusDuringAlert, "Please wait...");
    EXPECT_EQ(harness.status(), "Burn failed - image file not found");
    EXPECT_EQ(harness.ui().filenameField->text(), "gone.iso");
    EXPECT_EQ(harness.state(), BurnStateReady);
    EXPECT_TRUE(harness.sounds.played.isEmpty());

    ASSERT_TRUE(harness.ui().burnAgainButton->isEnabled());
    harness.ui().burnAgainButton->click();
    EXPECT_EQ(harness.alerts.shown, std::vector<Alert>(2, missing));
    EXPECT_TRUE(harness.fake.burnCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(OpenedOrDropped, MissingImageTest, testing::Bool());

TEST(BurnLaunchTest, ToolThatCannotStartIsReported) {
    QTemporaryDir folder;
    AppHarness::Options options;
    options.toolPath = FakeToolScript::installTool(folder.path());
    AppHarness harness(options);
    harness.listTwoBurners();
    harness.start();
    ASSERT_EQ(harness.ui().burnerMenu->count(), 2);
    ASSERT_TRUE(QFile::remove(options.toolPath));
    const QString image = harness.makeImage();
    const int descriptorsBefore = openDescriptorCount();

    harness.controller().doBurn(image);

    EXPECT_TRUE(harness.status().startsWith(
        QString("Burn failed - the disc-image tool could not be started (%1: ")
            .arg(options.toolPath)))
        << harness.status().toStdString();
    EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::failureSound});
    ASSERT_EQ(harness.alerts.shown.size(), 1u);
    EXPECT_EQ(harness.alerts.shown[0].message, "Burn failed");
    EXPECT_TRUE(harness.alerts.shown[0].informative.contains(options.toolPath));
    EXPECT_EQ(harness.state(), BurnStateReady);
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
}

class RefusingPtyOpener final : public PtyOpener {
public:
    bool openRawPair(posix::FileDescriptor&, posix::FileDescriptor&) override { return false; }
};

TEST(BurnLaunchTest, NoPseudoTerminalEndsTheApplication) {
    RefusingPtyOpener refusing;
    AppHarness::Options options;
    options.ptyOpener = &refusing;
    AppHarness harness(options);
    harness.listTwoBurners();
    harness.start();
    int terminationRequests = 0;
    QObject::connect(&harness.controller(), &EmberlinController::terminationRequested,
                     [&] { ++terminationRequests; });

    harness.controller().doBurn(harness.makeImage());

    EXPECT_EQ(harness.alerts.shown,
              (std::vector<Alert>{{"Eeek! Unexpected System Error",
                                   QString("Unable to get/set psuedo-tty file descriptors.  "
                                           "Not sure what to do next..."),
                                   {"Quit"}}}));
    EXPECT_EQ(terminationRequests, 1);
    EXPECT_TRUE(harness.fake.burnCalls().empty());
}

// What a tool run leaves in the window. A run with an "await go" step goes on
// once the window shows `acknowledged`: the piece before it has been read.
struct RunCase {
    const char* name;
    QStringList steps;
    QString acknowledged;
    QString status;
    BurnState state;
    QString stoppedHow = {}; // the alert of a tool that ended without a closing line
    int progress = -1;       // the bar's value out of 1000, when it matters
};

const auto go = fake::await("go");
const QString starting = "Starting...";
const QString completed = "Burn completed successfully - ready to burn another disk image.";
const QString insertDisc = "Please insert a writable disc...";
const QString stopped = "Burn failed - the disc-image tool stopped unexpectedly (%1)";
const QString longReason(OutputLineAssembler::longestLine - 14, u'x');
const QString exit0 = "exit status 0";

class ToolRunTest : public BurnTest, public testing::WithParamInterface<RunCase> {};

TEST_P(ToolRunTest, LeavesTheWindowAsTheToolSaid) {
    const RunCase& c = GetParam();
    harness.fake.setBurn(c.steps);
    harness.controller().doBurn(harness.makeImage());
    if (!c.acknowledged.isEmpty()) {
        ASSERT_TRUE(waitFor([&] { return harness.status() == c.acknowledged; }));
        harness.fake.release("go");
    }
    const bool exits = !c.steps.contains(fake::hang());
    // An exit has been judged once the tool has been reaped.
    ASSERT_TRUE(waitFor([&] {
        return harness.status() == c.status && (!exits || childProcessCount() == 0);
    })) << harness.status().toStdString();
    EXPECT_EQ(harness.state(), c.state);
    if (c.stoppedHow.isEmpty()) {
        for (const Alert& alert : harness.alerts.shown)
            EXPECT_FALSE(alert.informative.startsWith("The disc-image tool"));
    } else {
        ASSERT_EQ(harness.alerts.shown.size(), 1u);
        EXPECT_EQ(harness.alerts.shown[0].informative,
                  QString("The disc-image tool stopped unexpectedly (%1).").arg(c.stoppedHow));
        EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::failureSound});
        EXPECT_TRUE(harness.ui().progressBar->isHidden());
    }
    if (c.progress >= 0) {
        EXPECT_EQ(harness.ui().progressBar->value(), c.progress);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, ToolRunTest, testing::Values(
    RunCase{"LineInTwoReads", {fake::say("Writing track\nPreparing data "), go, fake::say("for burn\n"), fake::hang()}, "Writing track...", starting, BurnStateBurning},
    RunCase{"ClosingLineInTwoReadsThenExit", {fake::say("Preparing data for burn\nBurn completed succ"), go, fake::say("essfully\n"), fake::exitWith(0)}, starting, completed, BurnStateReady},
    RunCase{"ClosingLineWithoutLineEndThenExit", {fake::say("Preparing data for burn\nBurn completed successfully"), fake::exitWith(0)}, {}, completed, BurnStateReady},
    RunCase{"BadByteBesideTheClosingLine", {fake::say("Preparing data for burn\nPERCENT:10\n"), fake::say("\xff\nBurn completed successfully\n"), fake::exitWith(0)}, {}, completed, BurnStateReady},
    RunCase{"PromptInTwoReads", {fake::say("Writing track\nPlease insert "), go, fake::say("a disc:"), fake::hang()}, "Writing track...", insertDisc, BurnStateAwaitingDiscToErase},
    RunCase{"PromptSharingAReadWithProgress", {fake::say("Please insert a disc:PERCENT:5"), go, fake::say("0.0\n"), fake::hang()}, insertDisc, "Erasing...", BurnStateErasing, {}, 500},
    RunCase{"LineThatNeverEndsIsCutAtItsBound", {fake::say("burn failed - " + QByteArray(3 << 20, 'x')), fake::hang()}, {}, longReason, BurnStateReady},
    RunCase{"BusyBurnerThenExit", {fake::say("The device is being used by another application\n"), fake::exitWith(1)}, {}, "Unable to get control of the burner - it may be being used by another application.", BurnStateReady},
    RunCase{"ExitsWithoutClosingLine", {fake::say("Preparing data for burn\n"), fake::exitWith(3)}, {}, stopped.arg("exit status 3"), BurnStateReady, "exit status 3"},
    RunCase{"Crashes", {fake::say("Preparing data for burn\nPERCENT:20\n"), fake::crash()}, {}, stopped.arg("signal 9"), BurnStateReady, "signal 9"},
    RunCase{"SaysNothing", {}, {}, stopped.arg(exit0), BurnStateReady, exit0},
    RunCase{"ProgressThatOnlyArmsTheEraseIsNoEnd", {fake::say("PERCENT:-1 Burn completed successfully\n"), fake::exitWith(0)}, {}, stopped.arg(exit0), BurnStateReady, exit0}),
    NamedCase());
// clang-format on

// Neither the end of the last burn (its output ignored) nor its unfinished
// line reaches the next one.
TEST_F(BurnTest, TheNextBurnStartsClean) {
    harness.fake.setBurn({fake::say("Burn completed successfully\nPreparing data "), fake::hang()});
    harness.controller().openFiles({harness.makeImage()});
    ASSERT_TRUE(waitFor([&] { return harness.status() == completed; }));
    harness.fake.setBurn({fake::say("for burn\nVerifying burn\n"), fake::hang()});
    harness.ui().burnAgainButton->click();
    ASSERT_TRUE(harness.waitForState(BurnStateVerifying));
    EXPECT_EQ(harness.states,
              (std::vector<BurnState>{BurnStateListing, BurnStateReady, BurnStateVerifying}));
}

TEST_F(BurnTest, SecondBurnStopsTheFirst) {
    harness.fake.setBurn({fake::say("Please insert a disc:"), fake::hang()});
    harness.controller().doBurn(harness.makeImage("first.iso"));
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    harness.controller().doBurn(harness.makeImage("second.iso"));
    ASSERT_TRUE(harness.waitForBurnCalls(2));

    // SIGTERM, and the hang-up of its terminal closing, whichever it meets first.
    ASSERT_TRUE(waitFor([&] { return !harness.fake.signalsReceived().empty(); }));
    for (int signalNumber : harness.fake.signalsReceived())
        EXPECT_TRUE(signalNumber == SIGTERM || signalNumber == SIGHUP) << signalNumber;
    ASSERT_TRUE(waitFor([] { return childProcessCount() == 1; }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(harness.alerts.shown.empty()) << "a burn we stopped is not a failure";
    EXPECT_EQ(harness.ui().filenameField->text(), "second.iso");
}

TEST_F(BurnTest, TwoHundredBurnsLeaveNothingBehind) {
    const QString image = harness.makeImage();
    // Children of earlier tests in this process may still be winding up.
    ASSERT_TRUE(waitFor([] { return childProcessCount() == 0; }));
    const int descriptorsBefore = openDescriptorCount();
    for (std::size_t burn = 1; burn <= 200; ++burn) {
        harness.controller().doBurn(image);
        ASSERT_TRUE(harness.waitForBurnCalls(burn));
    }
    harness.controller().cancel();
    EXPECT_TRUE(waitFor(
        [&] { return openDescriptorCount() == descriptorsBefore && childProcessCount() == 0; }));
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(BurnTest, NewBurnStartedFromInsideAnAlert) {
    harness.fake.setBurn({fake::say("Preparing data for burn\nno CD/DVD drives present\n"),
                          fake::say("PERCENT:50\n"), fake::hang()});
    const QString second = harness.makeImage("second.iso");
    harness.alerts.answer = [&](const Alert&) {
        if (harness.alerts.shown.size() == 1) {
            harness.controller().doBurn(second);
            // The alert stays open a while, its event loop running.
            EXPECT_TRUE(harness.waitForBurnCalls(2));
        }
        return 0;
    };
    harness.controller().doBurn(harness.makeImage("first.iso"));

    // The first burn's alert must not silence the second burn, whose own lost
    // burner then shows the second alert and rescans.
    ASSERT_TRUE(waitFor([&] { return harness.alerts.shown.size() == 2; }));
    ASSERT_TRUE(harness.waitForState(BurnStateReady));
    EXPECT_EQ(harness.fake.burnCalls().size(), 2u);
    EXPECT_EQ(std::count(harness.states.begin(), harness.states.end(), BurnStateListing), 2)
        << "a listing at start-up and one rescan";
    EXPECT_EQ(harness.ui().filenameField->text(), "second.iso");
}

} // namespace

namespace {

struct RefusalCase {
    const char* name;
    QByteArray output; // up to the prompt for another disc
    QString status;
    QString note;
};

class DiscRefusalTest : public BurnTest, public testing::WithParamInterface<RefusalCase> {};

// The prompt for another disc takes the status line; the refusal stays below
// it until a disc is taken.
TEST_P(DiscRefusalTest, StaysVisibleWhileTheWindowWaitsForAnotherDisc) {
    harness.fake.setBurn({fake::say(GetParam().output), fake::hang()});
    harness.controller().openFiles({harness.makeImage()});
    ASSERT_TRUE(harness.waitForState(BurnStateAwaitingDiscToErase));
    const auto* note = harness.window().findChild<QLabel*>("discNoteField");
    EXPECT_EQ(harness.status(), GetParam().status);
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->text(), GetParam().note);
#ifndef Q_OS_MACOS
    // The user elsewhere learns why, with the request for another disc.
    const QString request = harness.notifications.shown.back();
    EXPECT_TRUE(QRegularExpression("^Insert a disc: .+\nPlease insert a writable disc into "
                                   "“Virtual Writer” to burn “disc.iso”.$")
                    .match(request)
                    .hasMatch());
#endif

    harness.controller().processOutput("PERCENT:-1\n");
    ASSERT_EQ(harness.state(), BurnStateErasing);
    EXPECT_TRUE(note->isHidden());

#ifndef Q_OS_MACOS
    // A copy's row refusing the same disc, its window closed, tells it alike.
    harness.window().findChild<QAction*>("burnCopiesAction")->trigger();
    const CopyBurn& copy = *harness.copies().copies().at(1);
    copy.row().setChecked(true);
    emit harness.copiesWindow().burnClicked();
    harness.copiesWindow().close();
    const QString copyRequest = QString(request).replace("Virtual Writer", "Second Writer");
    EXPECT_TRUE(waitFor([&] { return harness.notifications.shown.back() == copyRequest; }));
#endif
}

const QString insert = "Please insert a writable disc...";
const QString notErasable =
    "Media is not erasable.  Turn off the 'erase' option and try again, or use erasable media.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Refusals, DiscRefusalTest, testing::Values(
    RefusalCase{"TooSmall", "FACT:capacity=737280000 image-bytes=4700000000\nMedia does not have enough free space\nPlease insert a disc:",
                insert, "The last disc has room for 737.3 MB; the image needs 4.7 GB."},
    RefusalCase{"NotWritableAfterTheFactsOfAFit", "FACT:capacity=737280000 image-bytes=10\nMedia is not writable\nPlease insert a disc:",
                insert, "The last disc was refused: Media is not writable - please insert a writable disc..."},
    RefusalCase{"HoldingData", "FACT:disc-holds=an%20HFS+%20volume\nMedia is not writable\nPlease insert a disc:",
                insert, "The last disc holds an HFS+ volume and was refused: Media is not writable - please insert a writable disc..."},
    RefusalCase{"RefusedAfterThePrompt", "Please insert a disc:Media is not eraseable\n",
                notErasable, "The last disc was refused: " + notErasable}),
    NamedCase());
// clang-format on

} // namespace
