#include "ControllerHarness.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TEST(ListingTest, TwoBurnersFillTheMenuInOrder) {
    ControllerHarness harness;
    harness.listTwoBurners();
    harness.start();
    const auto& menu = *harness.ui().burnerMenu;
    ASSERT_EQ(menu.count(), 2);
    EXPECT_EQ(menu.itemText(0), firstBurnerTitle);
    EXPECT_EQ(menu.itemText(1), QStringLiteral("Second Writer"));
    EXPECT_EQ(menu.currentIndex(), 0);
    // Device lines are kept as received; a burn trims them.
    EXPECT_EQ(harness.state().burnerDevices,
              QStringList({firstBurnerDevice, QStringLiteral(" \t/dev/sr1\t ")}));
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
}

TEST(ListingTest, ReloadStartsFromAnEmptyMenu) {
    ControllerHarness harness;
    harness.listTwoBurners();
    harness.start();
    harness.ui().burnerMenu->setCurrentIndex(1);
    harness.fake.setListing({FakeDirective::line(QStringLiteral("Third Writer via SATA")),
                             FakeDirective::line(QStringLiteral("/dev/sr2")),
                             FakeDirective::text(QStringLiteral("Unfinished line"))});
    harness.ui().reloadBurnersButton->click();
    ASSERT_EQ(harness.ui().burnerMenu->count(), 1);
    EXPECT_EQ(harness.ui().burnerMenu->currentIndex(), 0);
    EXPECT_EQ(harness.state().burnerDevices, QStringList{QStringLiteral("/dev/sr2")});
    EXPECT_EQ(harness.state().outputBuffer, QStringLiteral("Unfinished line"));
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
}

TEST(ListingTest, NoDrivesAfterSomePairsDiscardsThem) {
    ControllerHarness harness;
    harness.fake.setListing({FakeDirective::line(QStringLiteral("Virtual Writer via USB")),
                             FakeDirective::line(QStringLiteral("/dev/sr0")),
                             FakeDirective::line(QStringLiteral("no CD/DVD drives present")),
                             FakeDirective::line(QStringLiteral("Late Writer"))});
    harness.start();
    EXPECT_EQ(harness.state().burnState, BurnStateNoBurners);
    EXPECT_EQ(harness.ui().burnerMenu->count(), 0);
    EXPECT_TRUE(harness.state().burnerDevices.isEmpty());
    EXPECT_EQ(harness.ui().deviceStatusField->text(),
              QStringLiteral("No available burners were found on your system."));
}

TEST(ListingTest, InvalidUtf8StillLists) {
    ControllerHarness harness;
    harness.fake.setListing({FakeDirective::bytes(QByteArray("Caf\xe9 Writer via USB\n")),
                             FakeDirective::line(QStringLiteral("/dev/sr0"))});
    harness.start();
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    ASSERT_EQ(harness.ui().burnerMenu->count(), 1);
    EXPECT_TRUE(harness.ui().burnerMenu->itemText(0).startsWith(QStringLiteral("Caf")));
    EXPECT_EQ(harness.state().burnerDevices, QStringList{QStringLiteral("/dev/sr0")});
}

struct BrokenToolCase {
    const char* name;
    bool toolMissing;
    QString statusFormat;
};

void PrintTo(const BrokenToolCase& c, std::ostream* os) {
    *os << c.name;
}

class BrokenToolTest : public testing::TestWithParam<BrokenToolCase> {};

TEST_P(BrokenToolTest, EndsWithoutBurnersAndSaysWhy) {
    const BrokenToolCase& c = GetParam();
    ControllerHarness::Options options;
    QTemporaryDir folder;
    if (c.toolMissing)
        options.toolPath = folder.filePath(QStringLiteral("no such tool"));
    options.listingTimeLimit = std::chrono::milliseconds(300);
    ControllerHarness harness(options);
    harness.fake.setListing(
        {FakeDirective::line(QStringLiteral("Virtual Writer via USB")), FakeDirective::hang()});
    harness.start();

    EXPECT_EQ(harness.state().burnState, BurnStateNoBurners);
    EXPECT_EQ(harness.ui().deviceStatusField->text(), c.statusFormat.arg(options.toolPath));
    EXPECT_EQ(harness.ui().burnerMenu->count(), 0);
    EXPECT_TRUE(harness.ui().reloadBurnersButton->isEnabled());
    EXPECT_TRUE(harness.alerts.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Tools, BrokenToolTest,
    testing::Values(
        BrokenToolCase{"Missing", true,
                       QStringLiteral("The disc-image tool could not be started (%1).")},
        BrokenToolCase{"Hanging", false,
                       QStringLiteral("The disc-image tool did not answer (%1).")}),
    [](const testing::TestParamInfo<BrokenToolCase>& info) { return info.param.name; });

} // namespace
