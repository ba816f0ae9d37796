#include "ControllerHarness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

namespace {

using Alert = RecordingAlerts::Alert;

const QString unchanged = QStringLiteral("(status before the line)");

struct Bar {
    int maximum; // 0: indeterminate
    int value;   // read only when determinate
    bool shown;
};

struct LineCase {
    const char* name;
    int stateBefore;
    bool erase;
    QString line;
    int stateAfter;
    QString status;
    std::optional<Bar> bar; // nullopt: the bar is left as it was
    QStringList played;
    std::vector<Alert> alerts;
    bool ignoreOutputAfter;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class InterpretLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(InterpretLineTest, MovesTheWindow) {
    const LineCase& c = GetParam();
    ControllerHarness harness;
    harness.start();
    const auto& ui = harness.ui();
    harness.controller().setBurnState(c.stateBefore);
    ui.eraseCheckbox->setChecked(c.erase);
    ui.deviceStatusField->setText(unchanged);
    ui.progressBar->setRange(0, 1000);
    ui.progressBar->setValue(333);

    harness.controller().interpretOutput(c.line);

    EXPECT_EQ(harness.state().burnState, c.stateAfter);
    EXPECT_EQ(ui.deviceStatusField->text(), c.status);
    const Bar bar = c.bar.value_or(Bar{1000, 333, c.stateAfter >= BurnStateErasing});
    EXPECT_EQ(ui.progressBar->minimum(), 0);
    EXPECT_EQ(ui.progressBar->maximum(), bar.maximum);
    if (bar.maximum != 0) {
        EXPECT_EQ(ui.progressBar->value(), bar.value);
    }
    EXPECT_EQ(!ui.progressBar->isHidden(), bar.shown);
    EXPECT_EQ(harness.sounds.played, c.played);
    EXPECT_EQ(harness.alerts.shown, c.alerts);
    EXPECT_EQ(harness.state().ignoreOutput, c.ignoreOutputAfter);
    EXPECT_EQ(ui.deviceStatusField->textFormat(), Qt::PlainText);
}

const QString success = ControllerHarness::successSound();
const QString failure = ControllerHarness::failureSound();
const QString failedLine = QStringLiteral("hdiutil: burn failed - <b>Device not ready</b>");

INSTANTIATE_TEST_SUITE_P(
    Lines, InterpretLineTest,
    testing::Values(
        LineCase{"PromptWithErase",
                 BurnStateReady,
                 true,
                 QStringLiteral("Please insert a disc:"),
                 BurnStateAwaitingDiscToErase,
                 QStringLiteral("Please insert a writable disc..."),
                 std::nullopt,
                 {},
                 {},
                 false},
        LineCase{"PercentStartsErasing",
                 BurnStateAwaitingDiscToErase,
                 true,
                 QStringLiteral("PERCENT:25"),
                 BurnStateErasing,
                 QStringLiteral("Erasing..."),
                 Bar{1000, 250, true},
                 {},
                 {},
                 false},
        LineCase{"PercentWithoutEraseKeepsTheBarHidden",
                 BurnStateReady,
                 false,
                 QStringLiteral("PERCENT:42.5"),
                 BurnStateReady,
                 unchanged,
                 Bar{1000, 425, false},
                 {},
                 {},
                 false},
        LineCase{"NegativePercentIsActivity",
                 BurnStateBurning,
                 true,
                 QStringLiteral("PERCENT:-1"),
                 BurnStateBurning,
                 unchanged,
                 Bar{0, 0, true},
                 {},
                 {},
                 false},
        LineCase{"PercentAboveTheRangeIsFull",
                 BurnStateBurning,
                 true,
                 QStringLiteral("PERCENT:250"),
                 BurnStateBurning,
                 unchanged,
                 Bar{1000, 1000, true},
                 {},
                 {},
                 false},
        LineCase{"PercentWithoutNumberIsEmpty",
                 BurnStateBurning,
                 true,
                 QStringLiteral("PERCENT:abc"),
                 BurnStateBurning,
                 unchanged,
                 Bar{1000, 0, true},
                 {},
                 {},
                 false},
        LineCase{"PreparingStartsBurning",
                 BurnStateReady,
                 true,
                 QStringLiteral("Preparing data for burn"),
                 BurnStateBurning,
                 QStringLiteral("Starting..."),
                 Bar{0, 0, true},
                 {},
                 {},
                 false},
        LineCase{"Success",
                 BurnStateVerifying,
                 true,
                 QStringLiteral("Burn completed successfully"),
                 BurnStateReady,
                 QStringLiteral("Burn completed successfully - ready to burn another disk image."),
                 Bar{1000, 333, false},
                 {success},
                 {},
                 true},
        LineCase{"BusyBurner",
                 BurnStateAwaitingDisc,
                 false,
                 QStringLiteral("The device is being used by another application"),
                 BurnStateReady,
                 QStringLiteral("Unable to get control of the burner - it may be being used by "
                                "another application."),
                 Bar{1000, 333, false},
                 {failure},
                 {},
                 false},
        LineCase{"BurnFailed",
                 BurnStateBurning,
                 true,
                 failedLine,
                 BurnStateReady,
                 failedLine.mid(14),
                 Bar{1000, 333, false},
                 {failure},
                 {Alert{QStringLiteral("Burn failed"), failedLine.mid(14), {QStringLiteral("OK")}}},
                 true},
        LineCase{"NotEraseable",
                 BurnStateAwaitingDiscToErase,
                 true,
                 QStringLiteral("Media is not eraseable"),
                 BurnStateAwaitingDiscToErase,
                 QStringLiteral("Media is not erasable.  Turn off the 'erase' option and try "
                                "again, or use erasable media."),
                 std::nullopt,
                 {failure},
                 {},
                 false},
        LineCase{"NoSpaceHidesTheBar",
                 BurnStateBurning,
                 true,
                 QStringLiteral("Media does not have enough free space"),
                 BurnStateBurning,
                 QStringLiteral("Not enough space on this disc - please insert another..."),
                 Bar{1000, 333, false},
                 {failure},
                 {},
                 false},
        LineCase{"UnknownLine",
                 BurnStateBurning,
                 true,
                 QStringLiteral("Opening session"),
                 BurnStateBurning,
                 unchanged,
                 std::nullopt,
                 {},
                 {},
                 false},
        LineCase{"NoBurnersDropsEverything",
                 BurnStateNoBurners,
                 true,
                 QStringLiteral("no CD/DVD drives present"),
                 BurnStateNoBurners,
                 unchanged,
                 Bar{1000, 333, false},
                 {},
                 {},
                 false}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(InterpretOutputTest, IgnoredOutputDropsEveryLine) {
    ControllerHarness harness;
    harness.start();
    harness.controller().setBurnState(BurnStateVerifying);
    harness.controller().interpretOutput(QStringLiteral("Burn completed successfully"));
    ASSERT_TRUE(harness.state().ignoreOutput);
    harness.ui().deviceStatusField->setText(unchanged);
    for (const char* line : {"Please insert a disc:", "burn failed badly",
                             "Preparing data for burn", "no CD/DVD drives present"})
        harness.controller().interpretOutput(QString::fromLatin1(line));
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    EXPECT_EQ(harness.ui().deviceStatusField->text(), unchanged);
    EXPECT_EQ(harness.sounds.played, QStringList{ControllerHarness::successSound()});
    EXPECT_TRUE(harness.alerts.shown.empty());
}

// A transcript fed piece by piece, as the task wrapper hands it over, with the
// window expected after each piece.
struct Step {
    QString piece;
    int state;
    QString status;
};

void feed(ControllerHarness& harness, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        harness.controller().processOutput(step.piece);
        EXPECT_EQ(harness.state().burnState, step.state) << step.piece.toStdString();
        EXPECT_EQ(harness.ui().deviceStatusField->text(), step.status) << step.piece.toStdString();
    }
}

class TranscriptTest : public testing::Test {
protected:
    void SetUp() override {
        harness.start(); // Ready, with an empty burner menu
        harness.ui().eraseCheckbox->setChecked(true);
    }
    ControllerHarness harness;
};

TEST_F(TranscriptTest, PromptEraseBurnVerifySuccess) {
    const QString wait = QStringLiteral("Please insert a writable disc...");
    feed(harness,
         {{QStringLiteral("Please insert a disc:"), BurnStateAwaitingDiscToErase, wait},
          {QStringLiteral("PERCENT:-1\n"), BurnStateErasing, QStringLiteral("Erasing...")},
          {QStringLiteral("PERCENT:50\nPERC"), BurnStateErasing, QStringLiteral("Erasing...")},
          {QStringLiteral("ENT:100\n"), BurnStateErasing, QStringLiteral("Erasing...")},
          {QStringLiteral("Preparing data for burn\nWriting track 1\n"), BurnStateBurning,
           QStringLiteral("Writing track...")},
          {QStringLiteral("PERCENT:37.5\n"), BurnStateBurning, QStringLiteral("Writing track...")},
          {QStringLiteral("Closing session\nFinishing burn\n"), BurnStateBurning,
           QStringLiteral("Finishing burn...")},
          {QStringLiteral("Verifying burn\nPERCENT:80\n"), BurnStateVerifying,
           QStringLiteral("Verifying...")},
          {QStringLiteral("Burn completed successfully\n"), BurnStateReady,
           QStringLiteral("Burn completed successfully - ready to burn another disk image.")},
          {QStringLiteral("burn failed after all\n"), BurnStateReady,
           QStringLiteral("Burn completed successfully - ready to burn another disk image.")}});
    EXPECT_EQ(harness.sounds.played, QStringList{ControllerHarness::successSound()});
    EXPECT_TRUE(harness.alerts.shown.empty());
    EXPECT_TRUE(harness.ui().progressBar->isHidden());
    EXPECT_TRUE(harness.state().burnClosed);
}

TEST_F(TranscriptTest, Failure) {
    feed(harness, {{QStringLiteral("Please insert a disc:\n"), BurnStateAwaitingDiscToErase,
                    QStringLiteral("Please insert a writable disc...")},
                   {QStringLiteral("Please insert a disc:"), BurnStateBurning,
                    QStringLiteral("Please insert a writable disc...")},
                   {QStringLiteral("hdiutil: burn failed - The disc is write-protected.\n"
                                   "Burn completed successfully\n"),
                    BurnStateReady, QStringLiteral("failed - The disc is write-protected.")}});
    EXPECT_EQ(harness.sounds.played, QStringList{ControllerHarness::failureSound()});
    ASSERT_EQ(harness.alerts.shown.size(), 1u);
    EXPECT_EQ(harness.alerts.shown[0].informative,
              QStringLiteral("failed - The disc is write-protected."));
    EXPECT_TRUE(harness.state().ignoreOutput);
    EXPECT_TRUE(harness.state().burnClosed);
}

TEST_F(TranscriptTest, BusyBurnerKeepsListening) {
    feed(harness,
         {{QStringLiteral("The device is being used by another application\n"), BurnStateReady,
           QStringLiteral("Unable to get control of the burner - it may be being used by another "
                          "application.")},
          {QStringLiteral("Please insert a disc:"), BurnStateAwaitingDiscToErase,
           QStringLiteral("Please insert a writable disc...")}});
    EXPECT_EQ(harness.sounds.played, QStringList{ControllerHarness::failureSound()});
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(TranscriptTest, MediaErrorsKeepTheWindowWaiting) {
    harness.ui().eraseCheckbox->setChecked(false);
    feed(harness,
         {{QStringLiteral("Please insert a disc:"), BurnStateAwaitingDisc,
           QStringLiteral("Please insert a writable disc...")},
          {QStringLiteral("Media is not writable\n"), BurnStateAwaitingDisc,
           QStringLiteral("Media is not writable - please insert a writable disc...")},
          {QStringLiteral("Media does not have enough free space\n"), BurnStateAwaitingDisc,
           QStringLiteral("Not enough space on this disc - please insert another...")},
          {QStringLiteral("Media is not eraseable\n"), BurnStateAwaitingDisc,
           QStringLiteral("Media is not erasable.  Turn off the 'erase' option and try again, or "
                          "use erasable media.")}});
    EXPECT_EQ(harness.sounds.played, QStringList(3, ControllerHarness::failureSound()));
    EXPECT_TRUE(harness.ui().cancelButton->isEnabled());
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(TranscriptTest, LostBurnerRescansAfterTheAlert) {
    harness.listTwoBurners();
    bool rescanPendingDuringAlert = true;
    harness.alerts.answer = [&](const Alert&) {
        // The rescan is scheduled only once the alert is dismissed.
        rescanPendingDuringAlert = harness.fake.calls().size() == 1;
        return 0;
    };
    feed(harness, {{QStringLiteral("Preparing data for burn\n"), BurnStateBurning,
                    QStringLiteral("Starting...")},
                   {QStringLiteral("no CD/DVD drives present\nPERCENT:50\n"), BurnStateBurning,
                    QStringLiteral("The selected burner became unavailable.")}});
    EXPECT_TRUE(rescanPendingDuringAlert);
    EXPECT_EQ(harness.alerts.shown,
              (std::vector<Alert>{{QStringLiteral("Burn failed"),
                                   QStringLiteral("The selected burner became unavailable."),
                                   {QStringLiteral("Rescan")}}}));
    EXPECT_EQ(harness.sounds.played, QStringList{ControllerHarness::failureSound()});
    EXPECT_TRUE(harness.state().ignoreOutput);
    EXPECT_EQ(harness.ui().burnerMenu->count(), 0) << "no listing before the delay";

    ASSERT_TRUE(FakeToolScript::waitUntil([&] { return harness.fake.calls().size() == 2; }));
    ASSERT_TRUE(
        FakeToolScript::waitUntil([&] { return harness.state().burnState == BurnStateReady; }));
    EXPECT_EQ(harness.ui().burnerMenu->count(), 2);
    EXPECT_FALSE(harness.state().ignoreOutput);
}

TEST_F(TranscriptTest, NoRescanOnceTheApplicationEnds) {
    harness.listTwoBurners();
    feed(harness, {{QStringLiteral("Preparing data for burn\nno CD/DVD drives present\n"),
                    BurnStateBurning, QStringLiteral("The selected burner became unavailable.")}});
    harness.controller().applicationWillTerminate();

    // Timers fire in the order they fall due: this one comes after the rescan.
    bool later = false;
    QTimer::singleShot(std::chrono::milliseconds(150), [&] { later = true; });
    ASSERT_TRUE(FakeToolScript::waitUntil([&] { return later; }));
    EXPECT_EQ(harness.state().burnState, BurnStateTerminating);
    EXPECT_EQ(harness.fake.calls().size(), 1u) << "only the listing at start-up";
}

} // namespace
