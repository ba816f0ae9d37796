#include "ControllerHarness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <csignal>
#include <gtest/gtest.h>

namespace {

using Alert = RecordingAlerts::Alert;
using namespace FakeDirective;

class UserActionsTest : public testing::Test {
protected:
    void SetUp() override {
        harness.listTwoBurners();
        harness.fake.setBurn({line(QStringLiteral("Please insert a disc:")), hang()});
        harness.start();
    }
    ControllerHarness harness;
};

class OpenFilesTest : public UserActionsTest, public testing::WithParamInterface<int> {};

TEST_P(OpenFilesTest, OnlyReadyBurnsAndOnlyTheFirstFile) {
    const int state = GetParam();
    const QString first = harness.makeImage(QStringLiteral("first.iso"));
    const QString second = harness.makeImage(QStringLiteral("second.iso"));
    harness.controller().setBurnState(state);
    harness.ui().deviceStatusField->setText(QStringLiteral("before"));

    harness.controller().openFiles({first, second});

    EXPECT_EQ(harness.state().imagePath, first);
    if (state == BurnStateReady) {
        ASSERT_TRUE(harness.waitForBurnCalls(1));
        EXPECT_EQ(harness.burnCalls().front().at(1), first);
    } else {
        EXPECT_EQ(harness.state().burnTask, nullptr);
        EXPECT_EQ(harness.ui().deviceStatusField->text(), QStringLiteral("before"));
        EXPECT_EQ(harness.state().burnState, state);
    }
    EXPECT_TRUE(harness.sounds.played.isEmpty());
    EXPECT_TRUE(harness.alerts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryState, OpenFilesTest,
                         testing::Range(int(BurnStateListing), int(BurnStateTerminating) + 1));

TEST_F(UserActionsTest, EmptyFileListIsIgnored) {
    harness.controller().openFiles({});
    EXPECT_TRUE(harness.state().imagePath.isEmpty());
    EXPECT_EQ(harness.state().burnTask, nullptr);
}

TEST_F(UserActionsTest, CancelStopsTheToolAndBurnAgainBurnsTheSameImage) {
    const QString image = harness.makeImage();
    harness.controller().openFiles({image});
    ASSERT_TRUE(FakeToolScript::waitUntil(
        [&] { return harness.state().burnState == BurnStateAwaitingDiscToErase; }));
    ASSERT_TRUE(harness.ui().cancelButton->isEnabled());

    harness.ui().cancelButton->click();

    EXPECT_EQ(harness.ui().filenameField->text(), QString());
    EXPECT_EQ(harness.ui().deviceStatusField->text(),
              QStringLiteral("Burn cancelled.  Ready to burn another disk image."));
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    EXPECT_EQ(harness.state().burnTask, nullptr);
    EXPECT_EQ(harness.state().imagePath, image);
    EXPECT_TRUE(FakeToolScript::waitUntil([&] { return !harness.fake.signalsReceived().empty(); }));
    ASSERT_TRUE(harness.ui().burnAgainButton->isEnabled());

    harness.ui().burnAgainButton->click();
    ASSERT_TRUE(harness.waitForBurnCalls(2));
    EXPECT_EQ(harness.burnCalls().back().at(1), image);
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST_F(UserActionsTest, FileOpenedDuringABurnIsBurnedAgainLater) {
    const QString burned = harness.makeImage(QStringLiteral("burned.iso"));
    const QString opened = harness.makeImage(QStringLiteral("opened.iso"));
    harness.controller().openFiles({burned});
    ASSERT_TRUE(FakeToolScript::waitUntil(
        [&] { return harness.state().burnState == BurnStateAwaitingDiscToErase; }));
    harness.controller().processOutput(QStringLiteral("Preparing data for burn\n"));
    ASSERT_EQ(harness.state().burnState, BurnStateBurning);

    harness.controller().openFiles({opened});
    EXPECT_EQ(harness.burnCalls().size(), 1u);
    harness.controller().processOutput(QStringLiteral("Burn completed successfully\n"));
    ASSERT_EQ(harness.state().burnState, BurnStateReady);

    harness.ui().burnAgainButton->click();
    ASSERT_TRUE(harness.waitForBurnCalls(2));
    EXPECT_EQ(harness.burnCalls().back().at(1), opened);
}

TEST(NoBurnersTest, FileOpenedWithoutBurnersWaitsForBurnAgain) {
    ControllerHarness harness;
    harness.fake.setListing({line(QStringLiteral("no CD/DVD drives present"))});
    harness.fake.setBurn({hang()});
    harness.start();
    const QString image = harness.makeImage();
    harness.controller().openFiles({image});
    EXPECT_EQ(harness.state().burnTask, nullptr);

    harness.listTwoBurners();
    harness.ui().reloadBurnersButton->click();
    ASSERT_EQ(harness.state().burnState, BurnStateReady);
    ASSERT_TRUE(harness.ui().burnAgainButton->isEnabled());
    harness.ui().burnAgainButton->click();
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.burnCalls().front().at(1), image);
}

struct QuitCase {
    int state;
    int answer; // the button pressed, when asked
};

void PrintTo(const QuitCase& c, std::ostream* os) {
    *os << "state " << c.state << ", button " << c.answer;
}

class QuitRequestTest : public testing::TestWithParam<QuitCase> {};

TEST_P(QuitRequestTest, AsksOnlyDuringABurn) {
    const QuitCase& c = GetParam();
    ControllerHarness harness;
    harness.start();
    harness.controller().setBurnState(c.state);
    harness.alerts.answer = [&](const Alert&) {
        return c.answer;
    };

    const auto reply = harness.controller().applicationShouldTerminate();

    if (c.state < BurnStateErasing) {
        EXPECT_EQ(reply, EmberlinController::TerminateNow);
        EXPECT_TRUE(harness.alerts.shown.empty());
    } else {
        EXPECT_EQ(harness.alerts.shown,
                  (std::vector<Alert>{
                      {QStringLiteral("Really quit?"),
                       QStringLiteral("There is currently a burn in progress.  Quitting now may "
                                      "make your disc unusable."),
                       {QStringLiteral("Quit anyway"), QStringLiteral("Cancel")}}}));
        EXPECT_EQ(reply, c.answer == 0 ? EmberlinController::TerminateNow
                                       : EmberlinController::TerminateCancel);
    }
    EXPECT_EQ(harness.state().burnState, c.state) << "asking changes nothing";
    EXPECT_FALSE(harness.state().terminating);
}

std::vector<QuitCase> quitCases() {
    std::vector<QuitCase> cases;
    for (int state = BurnStateListing; state <= BurnStateTerminating; ++state) {
        cases.push_back({state, 0});
        cases.push_back({state, 1});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryStateBothAnswers, QuitRequestTest, testing::ValuesIn(quitCases()));

TEST_F(UserActionsTest, QuittingWhileWaitingForADiscStopsTheTool) {
    harness.controller().openFiles({harness.makeImage()});
    ASSERT_TRUE(FakeToolScript::waitUntil(
        [&] { return harness.state().burnState == BurnStateAwaitingDiscToErase; }));
    ASSERT_EQ(harness.controller().applicationShouldTerminate(), EmberlinController::TerminateNow);
    harness.ui().verifyCheckbox->setChecked(false);

    harness.controller().applicationWillTerminate();

    EXPECT_EQ(harness.state().burnState, BurnStateTerminating);
    EXPECT_EQ(harness.state().burnTask, nullptr);
    EXPECT_FALSE(harness.store().value(QStringLiteral("Verify Burns")).toBool());
    EXPECT_TRUE(FakeToolScript::waitUntil([&] { return !harness.fake.signalsReceived().empty(); }));
    EXPECT_TRUE(harness.alerts.shown.empty());
}

} // namespace
