#include "tests/app/AppHarness.h"

#include <QFile>

using namespace emberlin;
using namespace std::chrono_literals;

namespace {

const QString noBurnerStatus = "Burn failed - no burner is selected";

struct ListingCase {
    const char* name;
    QStringList steps;
    QStringList titles;
    QString firstDevice; // what a burn on the first burner gets, or noBurnerStatus
    QString status = {}; // when the listing ends without burners (%1: the tool)
    bool toolMissing = false;
    std::chrono::milliseconds timeLimit = 60s;
};

class ListingTest : public testing::TestWithParam<ListingCase> {};

TEST_P(ListingTest, FillsTheBurnerMenuWhenTheToolExits) {
    const ListingCase& c = GetParam();
    AppHarness::Options options;
    if (c.toolMissing)
        options.toolPath = "/nonexistent/emberlin-disctool";
    options.listingTimeLimit = c.timeLimit;
    AppHarness harness(options);
    harness.fake.setListing(c.steps);
    harness.fake.setBurn({fake::hang()});
    harness.start();

    QStringList titles;
    for (int i = 0; i < harness.ui().burnerMenu->count(); ++i)
        titles << harness.ui().burnerMenu->itemText(i);
    EXPECT_EQ(titles, c.titles);
    EXPECT_TRUE(harness.ui().reloadBurnersButton->isEnabled());
    if (!c.status.isEmpty()) {
        EXPECT_EQ(harness.state(), BurnStateNoBurners);
        EXPECT_EQ(harness.status(), c.status.arg(options.toolPath));
        return;
    }
    // A second listing starts from an empty menu.
    harness.ui().reloadBurnersButton->click();
    ASSERT_TRUE(harness.waitForState(BurnStateReady));
    EXPECT_EQ(harness.ui().burnerMenu->count(), c.titles.size());
    EXPECT_EQ(harness.ui().burnerMenu->currentIndex(), c.titles.isEmpty() ? -1 : 0);

    harness.controller().doBurn(harness.makeImage());
    if (c.firstDevice == noBurnerStatus) {
        EXPECT_EQ(harness.status(), noBurnerStatus);
        EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::failureSound});
        EXPECT_TRUE(harness.fake.burnCalls().empty());
    } else {
        ASSERT_TRUE(harness.waitForBurnCalls(1));
        EXPECT_EQ(harness.fake.burnCalls().front().last(), c.firstDevice);
    }
}

const QString notStarted = "The disc-image tool could not be started (%1).";
const QString noAnswer = "The disc-image tool did not answer (%1).";
const QString noBurners = "No available burners were found on your system.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Listings, ListingTest, testing::Values(
    ListingCase{"TwoBurners", {fake::say("Virtual Writer via USB\n/dev/sr0\nAviation burner\n/dev/sr1\n")}, {"Virtual Writer ", "A"}, "/dev/sr0"},
    ListingCase{"LastLineWithoutLineEnd", {fake::say("Lone Writer via USB\n/dev/sr7")}, {"Lone Writer "}, "/dev/sr7"},
    ListingCase{"StandardErrorWithStandardOutput", {fake::say("Writer via USB\n"), fake::sayOnStandardError("/dev/sr8\n")}, {"Writer "}, "/dev/sr8"},
    ListingCase{"InvalidUtf8", {fake::say("Caf\xe9 Writer via USB\n/dev/sr0\n")}, {QString::fromUtf16(u"Caf\ufffd Writer ")}, "/dev/sr0"},
    ListingCase{"NameWithoutDevice", {fake::say("Lonely Writer via USB\n")}, {"Lonely Writer "}, noBurnerStatus},
    ListingCase{"NoBurnerListed", {}, {}, noBurnerStatus},
    ListingCase{"NoDrivesAfterAPair", {fake::say("Writer via USB\n/dev/sr0\nno CD/DVD drives present\nLate\n")}, {}, {}, noBurners},
    ListingCase{"ToolMissing", {}, {}, {}, notStarted, true},
    ListingCase{"ToolHangs", {fake::say("Writer via USB\n"), fake::hang()}, {}, {}, noAnswer, false, 0ms}),
    NamedCase());
// clang-format on

// The window goes on while the tool lists: a new listing replaces the one
// running, and a file opened meanwhile (named at launch, handed over by a
// second launch) is burned once the listing ends in Ready.
TEST(ListingWhileItRuns, AFileOpenedMeanwhileIsBurnedWhenTheLastListingEndsInReady) {
    AppHarness harness;
    harness.fake.setListing({fake::mark("listing"), fake::await("go"), fake::say("W\n/dev/sr0\n")});
    harness.fake.setBurn({fake::hang()});
    harness.controller().awakeFromNib();
    const QString image = harness.makeImage();
    harness.controller().openFiles({image});
    ASSERT_TRUE(waitFor([&] { return harness.fake.marked("listing"); }));
    harness.controller().reloadBurners();
    ASSERT_TRUE(waitFor([&] { return harness.fake.calls().size() == 2; }));
    EXPECT_EQ(harness.state(), BurnStateListing);
    harness.fake.release("go");
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.fake.burnCalls().front().at(1), image);
    EXPECT_EQ(harness.ui().burnerMenu->count(), 1);
    EXPECT_TRUE(waitFor([] { return childProcessCount() == 1; })) << "the burn alone";
}

// A burn that lost its burner keeps running: while the alert is open it hands
// nothing over, during the rescan its output waits, and after it its lines
// are read again.
TEST(LostBurner, TheBurnSpeaksAgainOnceTheBurnersAreListed) {
    AppHarness harness;
    harness.listTwoBurners();
    harness.fake.setBurn({fake::say("Preparing data for burn\nno CD/DVD drives present\n"),
                          fake::await("alert"), fake::say("Writing track\n"), fake::mark("written"),
                          fake::await("rescanning"), fake::say("Verifying burn\n"),
                          fake::mark("verifying"), fake::hang()});
    harness.start();
    QString statusDuringAlert;
    harness.alerts.answer = [&](const RecordingAlerts::Alert&) {
        harness.fake.release("alert");
        EXPECT_TRUE(waitFor([&] { return harness.fake.marked("written"); }));
        QCoreApplication::processEvents();
        statusDuringAlert = harness.status();
        return 0;
    };
    harness.fake.setListing(
        {fake::await("listed"), fake::say("Rescanned Writer via USB\n/dev/sr9\n")});
    harness.controller().doBurn(harness.makeImage());

    ASSERT_TRUE(waitFor([&] { return harness.fake.calls().size() == 3; })); // the rescan runs
    harness.fake.release("rescanning");
    ASSERT_TRUE(waitFor([&] { return harness.fake.marked("verifying"); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(harness.ui().burnerMenu->count(), 0);
    harness.fake.release("listed");

    ASSERT_TRUE(harness.waitForState(BurnStateVerifying));
    EXPECT_EQ(statusDuringAlert, "The selected burner became unavailable.");
    EXPECT_EQ(harness.states,
              (std::vector<BurnState>{BurnStateListing, BurnStateReady, BurnStateBurning,
                                      BurnStateListing, BurnStateReady, BurnStateVerifying}));
    EXPECT_EQ(harness.ui().burnerMenu->count(), 1);
    EXPECT_EQ(harness.ui().burnerMenu->itemText(0), "Rescanned Writer ");
}

// The burners listed anew while the image's mismatch is asked about: the burn
// goes to no burner other than the one chosen.
TEST(ListingWhileChecking, TheBurnGoesToNoOtherBurnerThanTheOneChosen) {
    AppHarness harness;
    harness.listTwoBurners();
    harness.start();
    const QString image = harness.makeImage();
    QFile checksum(image + ".sha256");
    ASSERT_TRUE(checksum.open(QIODevice::WriteOnly) && checksum.write(QByteArray(64, '7')));
    checksum.close();
    harness.fake.setListing({fake::say("Other Writer via USB\n/dev/sr5\n")});
    harness.alerts.answer = [&](const RecordingAlerts::Alert&) {
        harness.controller().reloadBurners();
        EXPECT_TRUE(harness.waitForState(BurnStateReady));
        return 0; // Burn Anyway
    };
    harness.controller().doBurn(image);
    ASSERT_TRUE(waitFor([&] { return harness.status() == noBurnerStatus; }));
    EXPECT_EQ(harness.alerts.shown.size(), 1u);
    EXPECT_TRUE(harness.fake.burnCalls().empty());
}

} // namespace
