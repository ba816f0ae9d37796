#include "AppHarness.h"

using namespace emberlin;

namespace {

class UserActionsTest : public testing::Test {
protected:
    void SetUp() override {
        harness.listTwoBurners();
        harness.fake.setBurn({fake::say("Please insert a disc:"), fake::hang()});
        harness.start();
    }
    AppHarness harness;
};

class OpenFilesTest : public UserActionsTest, public testing::WithParamInterface<int> {};

TEST_P(OpenFilesTest, OnlyReadyBurnsAndOnlyTheFirstFile) {
    const int state = GetParam();
    const QString first = harness.makeImage("first.iso");
    harness.controller().setBurnState(state);
    harness.ui().deviceStatusField->setText("before");

    harness.controller().openFiles({first, harness.makeImage("second.iso")});
    if (state != BurnStateReady) {
        EXPECT_EQ(harness.status(), "before");
        EXPECT_EQ(harness.state(), state);
        EXPECT_TRUE(harness.fake.burnCalls().empty());
        harness.controller().setBurnState(BurnStateReady);
        harness.ui().burnAgainButton->click(); // the path was stored
    }
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.fake.burnCalls().front().at(1), first);
    EXPECT_TRUE(harness.sounds.played.isEmpty());
    EXPECT_TRUE(harness.alerts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryState, OpenFilesTest,
                         testing::Range(int(BurnStateListing), int(BurnStateTerminating) + 1));

TEST_F(UserActionsTest, CancelStopsTheToolAndBurnAgainBurnsTheSameImage) {
    const QString image = harness.makeImage();
    harness.controller().openFiles({image});
    ASSERT_TRUE(harness.waitForState(BurnStateAwaitingDiscToErase));
    ASSERT_TRUE(harness.ui().cancelButton->isEnabled());

    harness.ui().cancelButton->click();

    EXPECT_EQ(harness.ui().filenameField->text(), QString());
    EXPECT_EQ(harness.status(), "Burn cancelled.  Ready to burn another disk image.");
    EXPECT_EQ(harness.state(), BurnStateReady);
    EXPECT_TRUE(waitFor([&] { return !harness.fake.signalsReceived().empty(); }));
    ASSERT_TRUE(harness.ui().burnAgainButton->isEnabled());
    harness.ui().burnAgainButton->click();
    ASSERT_TRUE(harness.waitForBurnCalls(2));
    EXPECT_EQ(harness.fake.burnCalls().back().at(1), image);
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(UserActionsTest, FileOpenedDuringABurnIsBurnedAgainLater) {
    const QString burned = harness.makeImage("burned.iso");
    const QString opened = harness.makeImage("opened.iso");
    harness.controller().openFiles({burned});
    ASSERT_TRUE(harness.waitForState(BurnStateAwaitingDiscToErase));
    harness.controller().processOutput("Preparing data for burn\n");
    harness.controller().openFiles({opened});
    harness.controller().processOutput("Burn completed successfully\n");
    ASSERT_EQ(harness.state(), BurnStateReady);
    EXPECT_EQ(harness.fake.burnCalls().size(), 1u);

    harness.ui().burnAgainButton->click();
    ASSERT_TRUE(harness.waitForBurnCalls(2));
    EXPECT_EQ(harness.fake.burnCalls().back().at(1), opened);
}

TEST_F(UserActionsTest, QuittingWhileWaitingForADiscStopsTheToolAndSaves) {
    harness.controller().openFiles({harness.makeImage()});
    ASSERT_TRUE(harness.waitForState(BurnStateAwaitingDiscToErase));
    ASSERT_EQ(harness.controller().applicationShouldTerminate(), EmberlinController::TerminateNow);
    harness.controller().applicationWillTerminate();
    EXPECT_EQ(harness.state(), BurnStateTerminating);
    EXPECT_TRUE(harness.store().contains("Burn Speed"));
    EXPECT_TRUE(waitFor([&] { return !harness.fake.signalsReceived().empty(); }));
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST(NoBurnersTest, FileOpenedWithoutBurnersWaitsForBurnAgain) {
    AppHarness harness;
    harness.fake.setListing({fake::say("no CD/DVD drives present\n")});
    harness.fake.setBurn({fake::hang()});
    harness.start();
    const QString image = harness.makeImage();
    harness.controller().openFiles({image});

    harness.listTwoBurners();
    harness.ui().reloadBurnersButton->click();
    ASSERT_TRUE(harness.waitForState(BurnStateReady));
    EXPECT_TRUE(harness.fake.burnCalls().empty());
    ASSERT_TRUE(harness.ui().burnAgainButton->isEnabled());
    harness.ui().burnAgainButton->click();
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.fake.burnCalls().front().at(1), image);
}

} // namespace
