#include "tests/app/AppHarness.h"

using namespace emberlin;

namespace {

using Alert = RecordingAlerts::Alert;

// One piece of output as the task wrapper hands it over, and the window
// expected after it. bar: "busy" (running without a value), "hidden", a value
// out of 1000, or nothing to check.
struct Step {
    QString piece;
    BurnState state;
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

const QString pleaseInsert = "Please insert a writable disc...";
const QString erasing = "Erasing...";
const QString completed = "Burn completed successfully - ready to burn another disk image.";

TEST_F(InterpretationTest, EraseBurnVerifySuccess) {
    feed({{"Please insert a disc:", BurnStateAwaitingDiscToErase, pleaseInsert},
          {"PERCENT:-1\n", BurnStateErasing, erasing, "busy"},
          {"PERCENT:50\nPERC", BurnStateErasing, erasing, "500"},
          {"ENT:100\n", BurnStateErasing, erasing, "1000"},
          {"Preparing data for burn\nWriting track 1\n", BurnStateBurning, "Writing track...",
           "busy"},
          {"PERCENT:250\n", BurnStateBurning, "Writing track...", "1000"},
          {"PERCENT:abc\n", BurnStateBurning, "Writing track...", "0"},
          {"Media does not have enough free space\n", BurnStateBurning,
           "Not enough space on this disc - please insert another...", "hidden"},
          {"Closing session\nFinishing burn\n", BurnStateBurning, "Finishing burn...", "hidden"},
          {"Verifying burn\nPERCENT:80\n", BurnStateVerifying, "Verifying...", "800"},
          {"Burn completed successfully\n", BurnStateReady, completed, "hidden"},
          {"burn failed after all\n", BurnStateReady, completed}});
    EXPECT_EQ(harness.sounds.played,
              QStringList({AppHarness::failureSound, AppHarness::successSound}));
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(InterpretationTest, FailureShowsTheToolsReasonAndEndsTheBurn) {
    const QString reason = "The disc is <b>write-protected</b>.";
    feed({{"Please insert a disc:\n", BurnStateAwaitingDiscToErase, pleaseInsert},
          {"Please insert a disc:", BurnStateBurning, pleaseInsert},
          {"burn failed - " + reason + "\nBurn completed successfully\n", BurnStateReady, reason}});
    EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::failureSound});
    EXPECT_EQ(harness.alerts.shown, std::vector<Alert>({{"Burn failed", reason, {"OK"}}}));
    EXPECT_EQ(harness.ui().deviceStatusField->textFormat(), Qt::PlainText);
}

TEST_F(InterpretationTest, NoRescanOnceTheApplicationEnds) {
    feed({{"Preparing data for burn\nno CD/DVD drives present\n", BurnStateBurning,
           "The selected burner became unavailable."}});
    EXPECT_EQ(harness.alerts.shown,
              std::vector<Alert>(
                  {{"Burn failed", "The selected burner became unavailable.", {"Rescan"}}}));
    harness.controller().applicationWillTerminate();
    QCoreApplication::processEvents(); // the rescan was due at once
    EXPECT_EQ(harness.state(), BurnStateTerminating);
    EXPECT_EQ(harness.fake.calls().size(), 1u) << "only the listing at start-up";
}

} // namespace
