#include "AppHarness.h"

#include <gtest/gtest.h>

using namespace emberlin;

namespace {

using Alert = RecordingAlerts::Alert;

// One piece of output as the task wrapper hands it over, and the window
// expected after it. bar: "busy" (running without a value), "hidden", a value
// out of 1000, or nothing to check.
struct Step {
    QString piece;
    int state;
    QString status;
    const char* bar = nullptr;
};

class InterpretationTest : public testing::Test {
protected:
    void SetUp() override { harness.start(); } // Ready, with an empty burner menu

    void feed(const std::vector<Step>& steps) {
        const QProgressBar& bar = *harness.ui().progressBar;
        for (const Step& step : steps) {
            SCOPED_TRACE(step.piece.toStdString());
            harness.controller().processOutput(step.piece);
            EXPECT_EQ(harness.state(), step.state);
            EXPECT_EQ(harness.status(), step.status);
            if (step.bar == nullptr)
                continue;
            const std::string shown = bar.isHidden()       ? "hidden"
                                      : bar.maximum() == 0 ? "busy"
                                                           : std::to_string(bar.value());
            EXPECT_EQ(shown, step.bar);
        }
    }

    AppHarness harness;
};

const QString pleaseInsert = QStringLiteral("Please insert a writable disc...");
const QString erasing = QStringLiteral("Erasing...");
const QString completed =
    QStringLiteral("Burn completed successfully - ready to burn another disk image.");

TEST_F(InterpretationTest, EraseBurnVerifySuccess) {
    feed({{QStringLiteral("Please insert a disc:"), BurnStateAwaitingDiscToErase, pleaseInsert},
          {QStringLiteral("PERCENT:-1\n"), BurnStateErasing, erasing, "busy"},
          {QStringLiteral("PERCENT:50\nPERC"), BurnStateErasing, erasing, "500"},
          {QStringLiteral("ENT:100\n"), BurnStateErasing, erasing, "1000"},
          {QStringLiteral("Preparing data for burn\nWriting track 1\n"), BurnStateBurning,
           QStringLiteral("Writing track..."), "busy"},
          {QStringLiteral("PERCENT:250\n"), BurnStateBurning, QStringLiteral("Writing track..."),
           "1000"},
          {QStringLiteral("PERCENT:abc\n"), BurnStateBurning, QStringLiteral("Writing track..."),
           "0"},
          {QStringLiteral("Media does not have enough free space\n"), BurnStateBurning,
           QStringLiteral("Not enough space on this disc - please insert another..."), "hidden"},
          {QStringLiteral("Closing session\nFinishing burn\n"), BurnStateBurning,
           QStringLiteral("Finishing burn..."), "hidden"},
          {QStringLiteral("Verifying burn\nPERCENT:80\n"), BurnStateVerifying,
           QStringLiteral("Verifying..."), "800"},
          {QStringLiteral("Burn completed successfully\n"), BurnStateReady, completed, "hidden"},
          {QStringLiteral("burn failed after all\n"), BurnStateReady, completed}});
    EXPECT_EQ(harness.sounds.played,
              QStringList({AppHarness::failureSound(), AppHarness::successSound()}));
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(InterpretationTest, FailureShowsTheToolsReasonAndEndsTheBurn) {
    const QString reason = QStringLiteral("The disc is <b>write-protected</b>.");
    feed({{QStringLiteral("Please insert a disc:\n"), BurnStateAwaitingDiscToErase, pleaseInsert},
          {QStringLiteral("Please insert a disc:"), BurnStateBurning, pleaseInsert},
          {QStringLiteral("burn failed - ") + reason + "\nBurn completed successfully\n",
           BurnStateReady, reason}});
    EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::failureSound()});
    EXPECT_EQ(
        harness.alerts.shown,
        std::vector<Alert>({{QStringLiteral("Burn failed"), reason, {QStringLiteral("OK")}}}));
    EXPECT_EQ(harness.ui().deviceStatusField->textFormat(), Qt::PlainText);
}

TEST_F(InterpretationTest, BusyBurnerKeepsListening) {
    feed({{QStringLiteral("The device is being used by another application\n"), BurnStateReady,
           QStringLiteral("Unable to get control of the burner - it may be being used by another "
                          "application.")},
          {QStringLiteral("Please insert a disc:"), BurnStateAwaitingDiscToErase, pleaseInsert}});
    EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::failureSound()});
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(InterpretationTest, MediaErrorsKeepTheWindowWaiting) {
    harness.ui().eraseCheckbox->setChecked(false);
    harness.ui().deviceStatusField->clear();
    feed({{QStringLiteral("PERCENT:42.5\n"), BurnStateReady, QString(), "hidden"},
          {QStringLiteral("Please insert a disc:"), BurnStateAwaitingDisc, pleaseInsert, "hidden"},
          {QStringLiteral("Media is not writable\n"), BurnStateAwaitingDisc,
           QStringLiteral("Media is not writable - please insert a writable disc...")},
          {QStringLiteral("Media is not eraseable\n"), BurnStateAwaitingDisc,
           QStringLiteral("Media is not erasable.  Turn off the 'erase' option and try again, or "
                          "use erasable media.")}});
    EXPECT_EQ(harness.ui().progressBar->value(), 425);
    EXPECT_EQ(harness.sounds.played, QStringList(2, AppHarness::failureSound()));
    EXPECT_TRUE(harness.ui().cancelButton->isEnabled());
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(InterpretationTest, NoRescanOnceTheApplicationEnds) {
    feed({{QStringLiteral("Preparing data for burn\nno CD/DVD drives present\n"), BurnStateBurning,
           QStringLiteral("The selected burner became unavailable.")}});
    EXPECT_EQ(harness.alerts.shown,
              std::vector<Alert>({{QStringLiteral("Burn failed"),
                                   QStringLiteral("The selected burner became unavailable."),
                                   {QStringLiteral("Rescan")}}}));
    harness.controller().applicationWillTerminate();
    QCoreApplication::processEvents(); // the rescan was due at once
    EXPECT_EQ(harness.state(), BurnStateTerminating);
    EXPECT_EQ(harness.fake.calls().size(), 1u) << "only the listing at start-up";
}

} // namespace
