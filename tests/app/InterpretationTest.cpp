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

const QString pleaseInsert = QString("Please insert a writable disc...");
const QString erasing = QString("Erasing...");
const QString completed =
    QString("Burn completed successfully - ready to burn another disk image.");

TEST_F(InterpretationTest, EraseBurnVerifySuccess) {
    feed({{QString("Please insert a disc:"), BurnStateAwaitingDiscToErase, pleaseInsert},
          {QString("PERCENT:-1\n"), BurnStateErasing, erasing, "busy"},
          {QString("PERCENT:50\nPERC"), BurnStateErasing, erasing, "500"},
          {QString("ENT:100\n"), BurnStateErasing, erasing, "1000"},
          {QString("Preparing data for burn\nWriting track 1\n"), BurnStateBurning,
           QString("Writing track..."), "busy"},
          {QString("PERCENT:250\n"), BurnStateBurning, QString("Writing track..."), "1000"},
          {QString("PERCENT:abc\n"), BurnStateBurning, QString("Writing track..."), "0"},
          {QString("Media does not have enough free space\n"), BurnStateBurning,
           QString("Not enough space on this disc - please insert another..."), "hidden"},
          {QString("Closing session\nFinishing burn\n"), BurnStateBurning,
           QString("Finishing burn..."), "hidden"},
          {QString("Verifying burn\nPERCENT:80\n"), BurnStateVerifying, QString("Verifying..."),
           "800"},
          {QString("Burn completed successfully\n"), BurnStateReady, completed, "hidden"},
          {QString("burn failed after all\n"), BurnStateReady, completed}});
    EXPECT_EQ(harness.sounds.played,
              QStringList({AppHarness::failureSound, AppHarness::successSound}));
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(InterpretationTest, FailureShowsTheToolsReasonAndEndsTheBurn) {
    const QString reason = QString("The disc is <b>write-protected</b>.");
    feed({{QString("Please insert a disc:\n"), BurnStateAwaitingDiscToErase, pleaseInsert},
          {QString("Please insert a disc:"), BurnStateBurning, pleaseInsert},
          {QString("burn failed - ") + reason + "\nBurn completed successfully\n", BurnStateReady,
           reason}});
    EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::failureSound});
    EXPECT_EQ(harness.alerts.shown,
              std::vector<Alert>({{QString("Burn failed"), reason, {QString("OK")}}}));
    EXPECT_EQ(harness.ui().deviceStatusField->textFormat(), Qt::PlainText);
}

TEST_F(InterpretationTest, NoRescanOnceTheApplicationEnds) {
    feed({{QString("Preparing data for burn\nno CD/DVD drives present\n"), BurnStateBurning,
           QString("The selected burner became unavailable.")}});
    EXPECT_EQ(harness.alerts.shown,
              std::vector<Alert>({{QString("Burn failed"),
                                   QString("The selected burner became unavailable."),
                                   {QString("Rescan")}}}));
    harness.controller().applicationWillTerminate();
    QCoreApplication::processEvents(); // the rescan was due at once
    EXPECT_EQ(harness.state(), BurnStateTerminating);
    EXPECT_EQ(harness.fake.calls().size(), 1u) << "only the listing at start-up";
}

} // namespace
