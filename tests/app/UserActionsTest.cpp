#include "tests/app/AppHarness.h"

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

// What opening an image does in each state: 'B' burns it at once, 'K' shows
// it and keeps it for the listing's end or Burn again, 'R' refuses it with an
// alert while a burn runs, '-' ignores it while the application ends.
struct OpenCase {
    BurnState state;
    char outcome;
};

class OpenFilesTest : public UserActionsTest, public testing::WithParamInterface<OpenCase> {};

TEST_P(OpenFilesTest, TheWindowShowsTheImageThatBurnAgainBurns) {
    const auto [state, outcome] = GetParam();
    harness.controller().openFiles({harness.makeImage("first.iso")});
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    harness.controller().setBurnState(state);

    harness.controller().openFiles({harness.makeImage("opened.iso"), harness.makeImage("two.iso")});
    const bool taken = outcome == 'B' || outcome == 'K';
    EXPECT_EQ(harness.ui().filenameField->text(), taken ? "opened.iso" : "first.iso");
    if (outcome == 'B')
        ASSERT_TRUE(harness.waitForBurnCalls(2));
    else
        EXPECT_EQ(harness.fake.burnCalls().size(), 1u);
    if (outcome == 'R') {
        ASSERT_EQ(harness.alerts.shown.size(), 1u);
        EXPECT_EQ(harness.alerts.shown[0].informative,
                  "“first.iso” is being burned. Open “opened.iso” again once this burn has ended.");
    } else {
        EXPECT_TRUE(harness.alerts.shown.empty());
    }

    const std::size_t burns = harness.fake.burnCalls().size();
    harness.controller().setBurnState(BurnStateReady);
    harness.ui().burnAgainButton->click();
    ASSERT_TRUE(harness.waitForBurnCalls(burns + 1));
    EXPECT_EQ(harness.fake.burnCalls().back().at(1),
              harness.scratchPath(harness.ui().filenameField->text()));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(EveryState, OpenFilesTest, testing::Values(
    OpenCase{BurnStateListing, 'K'}, OpenCase{BurnStateNoBurners, 'K'}, OpenCase{BurnStateReady, 'B'},
    OpenCase{BurnStateAwaitingDiscToErase, 'R'}, OpenCase{BurnStateAwaitingDisc, 'R'},
    OpenCase{BurnStateErasing, 'R'}, OpenCase{BurnStateBurning, 'R'},
    OpenCase{BurnStateVerifying, 'R'}, OpenCase{BurnStateTerminating, '-'}));
// clang-format on

// Opened from the file manager or handed over by a second launch: the same
// rule as a drop.
TEST_F(UserActionsTest, AFileThatIsNoDiscImageIsRefusedAndNothingIsBurned) {
    harness.ui().deviceStatusField->setText("before");
    harness.controller().openFiles({harness.makeImage("notes.txt")});
    harness.controller().openFiles({harness.makeImage("disc.ISO")});
    EXPECT_EQ(harness.alerts.shown.size(), 2u);
    EXPECT_EQ(harness.alerts.shown.at(0),
              (RecordingAlerts::Alert{"Not a disc image",
                                      "“notes.txt” is not a disc image, so it was not burned. "
                                      "Emberlin burns .iso, .img, .dmg or .toast files.",
                                      {"OK"}}));
    EXPECT_TRUE(harness.fake.burnCalls().empty());
    EXPECT_EQ(harness.status(), "before");
    EXPECT_EQ(harness.state(), BurnStateReady);
    EXPECT_FALSE(harness.ui().burnAgainButton->isEnabled());
}

TEST_F(UserActionsTest, CancelStopsTheToolAndBurnAgainBurnsTheSameImage) {
    const QString image = harness.makeImage();
    harness.controller().openFiles({image});
    ASSERT_TRUE(harness.waitForState(BurnStateAwaitingDiscToErase));
    ASSERT_TRUE(harness.ui().cancelButton->isEnabled());

    harness.ui().cancelButton->click();

    EXPECT_EQ(harness.ui().filenameField->text(), "disc.iso");
    EXPECT_EQ(harness.status(), "Burn cancelled.  Ready to burn another disk image.");
    EXPECT_EQ(harness.state(), BurnStateReady);
    EXPECT_TRUE(waitFor([&] { return !harness.fake.signalsReceived().empty(); }));
    ASSERT_TRUE(harness.ui().burnAgainButton->isEnabled());
    harness.ui().burnAgainButton->click();
    ASSERT_TRUE(harness.waitForBurnCalls(2));
    EXPECT_EQ(harness.fake.burnCalls().back().at(1), image);
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
