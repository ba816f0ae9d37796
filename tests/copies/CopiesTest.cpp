#include "app/records/BurnReceipt.h"
#include "tests/app/AppHarness.h"
#include "tests/support/DiscFixture.h"
#include "views/CopyBurnerRow.h"

#include <QAction>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardItemModel>
#include <gmock/gmock.h>

using namespace emberlin;
using testing::HasSubstr;

namespace {

constexpr BurnState ready = BurnStateReady;
constexpr BurnState burning = BurnStateBurning;
constexpr BurnState verifying = BurnStateVerifying;
const QString completed = "Burn completed successfully - ready to burn another disk image.";

// A burner of the copy burn and how its row ends: as a single burn to that
// drive ends in the main window (a lost burner back in Ready at once).
struct Drive {
    const char* id; // %1: the file the disc is kept in
    std::vector<BurnState> states;
    QString status;
    const char* medium;
};

QString summaryOf(AppHarness& harness) {
    return harness.copiesWindow().findChild<QLabel*>("summaryField")->text();
}

void openCopies(AppHarness& harness) {
    harness.window().findChild<QAction*>("burnCopiesAction")->trigger();
}

class CopiesTest : public testing::Test {
protected:
    void TearDown() override { qunsetenv("EMBERLIN_VIRTUAL_BURNERS"); }
};

// emberlin-disctool on emulated burners of different media, states and faults,
// burning an image whose size is no whole number of sectors.
TEST_F(CopiesTest, EachRowEndsAsASingleBurnToItsDriveWould) {
    AppHarness::Options realTool;
    realTool.toolPath = EMBERLIN_DISCTOOL;
    AppHarness harness(realTool);
    const std::vector<Drive> drives{
        {"sim:%1?medium=bd-r&insert-after=300ms",
         {ready, BurnStateAwaitingDiscToErase, burning, verifying, ready},
         completed,
         "bd-r"},
        {"sim:%1?medium=dvd+rw&busy",
         {ready},
         "Unable to get control of the burner - it may be being used by another application.",
         nullptr},
        {"sim:%1?medium=dvd-r&lost-at=200",
         {ready, burning, ready},
         "The selected burner became unavailable.",
         nullptr},
        {"sim:%1?medium=cd-rw&state=full&bad-sector=100",
         {ready, BurnStateAwaitingDiscToErase, BurnStateErasing, burning, verifying, ready},
         "Verify failed: sector 100 of the disc differs from the image (byte 204800)",
         nullptr},
        {"stdio:%1", {ready, burning, verifying, ready}, completed, ""},
    };
    const auto disc = [&](std::size_t index) {
        return harness.scratchPath(QString("disc%1.img").arg(index));
    };
    QStringList ids;
    for (std::size_t index = 0; index < drives.size(); ++index)
        ids.append(QString::fromLatin1(drives[index].id).arg(disc(index)));
    // The erased CD-RW holds data: its row asks, and the person says erase.
    const QString volume = harness.scratchPath("backup.iso");
    writeDiscFixture("iso", volume.toStdString());
    ids[3] += "&contents=" + volume;
    harness.alerts.answer = [](const RecordingAlerts::Alert&) {
        return 0;
    };
    qputenv("EMBERLIN_VIRTUAL_BURNERS", ids.join(';').toUtf8());
    QByteArray image(3 * 1024 * 1024 + 777, Qt::Uninitialized);
    QRandomGenerator(2026).fillRange(reinterpret_cast<quint32*>(image.data()), image.size() / 4);
    const QString imagePath = harness.scratchPath("Holiday Photos.iso");
    QFile file(imagePath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
    file.close();
    harness.start();
    openCopies(harness);
    CopyBurnController& copies = harness.copies();
    ASSERT_EQ(copies.copies().size(), drives.size());

    std::vector<std::vector<BurnState>> states(drives.size());
    for (std::size_t index = 0; index < drives.size(); ++index) {
        const CopyBurn& copy = *copies.copies()[index];
        copy.row().setChecked(true);
        QObject::connect(&copy, &CopyBurn::progressed, [&copy, &states, index] {
            if (states[index].empty() || states[index].back() != copy.burnState())
                states[index].push_back(copy.burnState());
        });
    }
    harness.copiesWindow().setChoices({false, true, true, "max"});
    emit harness.copiesWindow().imageChosen(imagePath);
    emit harness.copiesWindow().burnClicked();
    ASSERT_TRUE(waitFor([&] { return !copies.running(); }));
    ASSERT_TRUE(waitFor([&] { return copies.receipts().size() == drives.size(); }));
    const std::vector<BurnRecord> receipts = copies.receipts();

    const QString sha = QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex();
    for (std::size_t index = 0; index < drives.size(); ++index) {
        SCOPED_TRACE(drives[index].id);
        const CopyBurn& copy = *copies.copies()[index];
        EXPECT_EQ(states[index], drives[index].states);
        EXPECT_EQ(copy.row().findChild<QLabel*>("statusField")->text(), drives[index].status);
        const BurnRecord& record = receipts[index];
        EXPECT_EQ(record.burnerTitle, copy.burner().title);
        if (drives[index].medium == nullptr) {
            EXPECT_FALSE(copy.succeeded());
            continue;
        }
        // Success is shown where the disc holds the image, and the receipt
        // proves it with what was read back.
        EXPECT_TRUE(copy.succeeded());
        QFile burned(disc(index));
        ASSERT_TRUE(burned.open(QIODevice::ReadOnly));
        EXPECT_EQ(burned.read(image.size()), image);
        EXPECT_EQ(record.facts.medium, drives[index].medium);
        EXPECT_EQ(record.facts.readbackSha256, sha);
    }
    EXPECT_EQ(summaryOf(harness), "2 of 5 discs burned and verified");
    EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::failureSound});
    ASSERT_EQ(harness.alerts.shown.size(), 1u);
    EXPECT_EQ(harness.alerts.shown[0].message, "Erase the disc in “Simulated CD-RW burner 4”?");
    EXPECT_THAT(composeBurnReceipt(receipts[3]).toStdString(),
                HasSubstr("\nErased before burning: "));
    EXPECT_EQ(harness.taskbar.shown.mid(harness.taskbar.shown.lastIndexOf("100%")),
              QStringList({"100%", "hidden", "hidden"}));
}

// Each copy's result is its burn's: a success text in a failure's line (the
// image's name) is no disc burned.
TEST_F(CopiesTest, ASuccessTextInTheImagesNameIsNoDisc) {
    AppHarness harness;
    harness.listTwoBurners();
    harness.fake.setBurn({fake::say("Preparing data for burn\nburn failed - “Burn completed "
                                    "successfully.iso” is empty\n")});
    harness.start();
    openCopies(harness);
    for (const auto& copy : harness.copies().copies())
        copy->row().setChecked(true);
    emit harness.copiesWindow().imageChosen(harness.makeImage("Burn completed successfully.iso"));
    emit harness.copiesWindow().burnClicked();
    ASSERT_TRUE(waitFor([&] { return harness.copies().receipts().size() == 2; }));
    EXPECT_EQ(summaryOf(harness), "0 of 2 discs burned and verified");
    for (const BurnRecord& record : harness.copies().receipts())
        EXPECT_FALSE(record.succeeded);
}

// The copies window compares the image with its published checksum before
// anything is written, with the main window's alert and default.
TEST_F(CopiesTest, AMismatchWithThePublishedChecksumStopsTheCopiesUntilThePersonDecides) {
    for (const int answer : {0, 1}) {
        const bool burnAnyway = answer == 0;
        SCOPED_TRACE(burnAnyway ? "Burn Anyway" : "Don't Burn");
        AppHarness harness;
        harness.listTwoBurners();
        harness.fake.setBurn({fake::say("Preparing data for burn\nBurn completed successfully\n")});
        harness.alerts.answer = [&](const RecordingAlerts::Alert&) {
            return answer;
        };
        harness.start();
        const QString published(64, u'7');
        QFile sums(harness.scratchPath("SHA256SUMS"));
        ASSERT_TRUE(sums.open(QIODevice::WriteOnly) &&
                    sums.write(published.toLatin1() + "  disc.iso\n") > 0);
        sums.close();
        openCopies(harness);
        harness.copies().copies()[1]->row().setChecked(true);
        emit harness.copiesWindow().imageChosen(harness.makeImage());
        emit harness.copiesWindow().burnClicked();
        EXPECT_EQ(summaryOf(harness), "Checking “disc.iso” against SHA256SUMS...");
        ASSERT_TRUE(waitFor([&] { return !harness.alerts.shown.empty(); }));
        const RecordingAlerts::Alert& alert = harness.alerts.shown.front();
        EXPECT_EQ(alert.message, "The image does not match its checksum");
        EXPECT_EQ(alert.buttons, QStringList({"Burn Anyway", "Don't Burn"}));
        EXPECT_EQ(alert.defaultButton, 1);
        if (burnAnyway) {
            ASSERT_TRUE(waitFor([&] { return harness.copies().receipts().size() == 1; }));
            EXPECT_EQ(summaryOf(harness), "1 of 1 disc burned and verified");
            EXPECT_THAT(composeBurnReceipt(harness.copies().receipts().front()).toStdString(),
                        HasSubstr("burned anyway, as the person chose"));
        } else {
            EXPECT_EQ(summaryOf(harness), "Not burned - “disc.iso” does not match SHA256SUMS.");
            EXPECT_TRUE(harness.fake.burnCalls().empty());
        }
    }
}

// Copies on the burner the main window was on: while they hold it, an image
// opened in the main window burns on no other burner; then the choice is back.
TEST_F(CopiesTest, TheMainWindowNeverTakesABurnerTheUserDidNotChoose) {
    AppHarness::Options realTool;
    realTool.toolPath = EMBERLIN_DISCTOOL;
    AppHarness harness(realTool);
    qputenv("EMBERLIN_VIRTUAL_BURNERS",
            QString("sim:%1?medium=dvd+rw;sim:%2?medium=cd-rw&state=full")
                .arg(harness.scratchPath("disc1.img"), harness.scratchPath("disc2.img"))
                .toUtf8());
    harness.start();
    QComboBox& menu = *harness.ui().burnerMenu;
    ASSERT_EQ(menu.currentIndex(), 0);
    const QString chosen = menu.itemText(0);
    QStringList burnedOn;
    QObject::connect(&harness.controller().burnReports(), &BurnReports::started,
                     [&](const QString&, const QString& burner, const BurnChoices&) {
                         burnedOn.append(burner);
                     });
    const QString image = harness.makeImage();
    openCopies(harness);
    CopyBurnController& copies = harness.copies();
    copies.copies()[0]->row().setChecked(true);
    emit harness.copiesWindow().imageChosen(image);
    emit harness.copiesWindow().burnClicked();
    ASSERT_TRUE(copies.running());

    harness.controller().openFiles({image});
    EXPECT_EQ(harness.status(), "Burn failed - no burner is selected");
    EXPECT_EQ(menu.currentIndex(), -1);
    // Free once the copy's tool has ended.
    ASSERT_TRUE(waitFor([&] { return menu.currentIndex() == 0; }));
    QStringList ended;
    QObject::connect(&harness.controller().burnReports(), &BurnReports::ended,
                     [&](bool, const QString& status) { ended.append(status); });
    // The copy left the DVD+RW holding data: the person says erase it.
    harness.alerts.answer = [](const RecordingAlerts::Alert&) {
        return 0;
    };
    harness.controller().openFiles({image});
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }));
    EXPECT_EQ(burnedOn, QStringList{chosen});
    EXPECT_EQ(ended, QStringList{completed});
}

// Through the stand-in tool, each burner's burn told by a transcript of its own.
TEST_F(CopiesTest, ABurnerOneWindowBurnsOnIsNotOfferedInTheOtherAndQuittingAsks) {
    AppHarness harness;
    harness.listTwoBurners();
    harness.fake.setBurnOn(firstBurnerDevice,
                           {fake::say("Preparing data for burn\nPERCENT:10\n"), fake::mark("main"),
                            fake::await("main-end"), fake::say("Burn completed successfully\n")});
    harness.fake.setBurnOn(secondBurnerDevice,
                           {fake::say("Preparing data for burn\nPERCENT:50\n"),
                            fake::await("copy-end"), fake::say("Verifying burn\nPERCENT:100\n"),
                            fake::say("Burn completed successfully\n")});
    harness.start();
    const QString image = harness.makeImage();
    harness.controller().openFiles({image});
    ASSERT_TRUE(waitFor([&] { return harness.fake.marked("main"); }));
    openCopies(harness);
    EXPECT_EQ(harness.copiesWindow().findChild<QLabel*>("imageField")->text(), "disc.iso");
    CopyBurnController& copies = harness.copies();
    const auto offered = [&](std::size_t index) {
        return copies.copies()[index]->row().findChild<QCheckBox*>()->isEnabled();
    };
    EXPECT_FALSE(offered(0));
    EXPECT_TRUE(offered(1));

    harness.fake.release("main-end");
    ASSERT_TRUE(waitFor([&] { return offered(0); }));
    harness.ui().burnerMenu->setCurrentIndex(1);
    copies.copies()[1]->row().setChecked(true);
    emit harness.copiesWindow().burnClicked();
    ASSERT_TRUE(waitFor([&] { return copies.writing(); }));
    const auto* menu = qobject_cast<QStandardItemModel*>(harness.ui().burnerMenu->model());
    EXPECT_FALSE(menu->item(1)->isEnabled());

    // Only while a copy is written does quitting ask; a drive that comes
    // meanwhile is listed once the copies have ended, whose summary the
    // closed window sends as a notification.
    harness.copiesWindow().close();
    harness.alerts.answer = [](const RecordingAlerts::Alert&) {
        return 1;
    };
    EXPECT_EQ(harness.controller().applicationShouldTerminate(),
              EmberlinController::TerminateCancel);
    ASSERT_EQ(harness.alerts.shown.size(), 1u);
    EXPECT_EQ(harness.alerts.shown.back().message, "Really quit?");
    const std::size_t calls = harness.fake.calls().size();
    emit harness.driveEvents.opticalDriveAddedOrRemoved();
    QCoreApplication::processEvents(); // the settle time is 0
    EXPECT_EQ(harness.state(), BurnStateReady);
    harness.fake.release("copy-end");
    ASSERT_TRUE(waitFor([&] { return harness.fake.calls().size() == calls + 1; }));
    EXPECT_EQ(harness.fake.calls().back(), QStringList({"burn", "-list"}));
    EXPECT_EQ(harness.notifications.shown.back(),
              "Burn completed: 1 of 1 disc burned and verified");
    EXPECT_EQ(harness.controller().applicationShouldTerminate(), EmberlinController::TerminateNow);
    ASSERT_TRUE(harness.waitForState(BurnStateReady));
    EXPECT_TRUE(menu->item(1)->isEnabled());
}

} // namespace
