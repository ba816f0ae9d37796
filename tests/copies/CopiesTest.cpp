#include "AppHarness.h"
#include "BurnerClaims.h"
#include "CopiesWindow.h"
#include "CopyBurnController.h"
#include "CopyBurnerRow.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <gmock/gmock.h>

using namespace emberlin;

namespace {

constexpr int ready = BurnStateReady;
constexpr int burning = BurnStateBurning;
constexpr int verifying = BurnStateVerifying;
const QString completed = "Burn completed successfully - ready to burn another disk image.";

// A burner of the copy burn and how its row ends: as a single burn to that
// drive ends in the main window, the lost burner back in Ready at once.
struct Drive {
    const char* id; // %1: the file the disc is kept in
    std::vector<int> states;
    QString status;
    bool burned;
};

// The copies window on emulated burners, burning one image whose size is no
// whole number of sectors through emberlin-disctool.
class CopiesTest : public testing::Test {
protected:
    void SetUp() override {
        image = QByteArray(3 * 1024 * 1024 + 777, Qt::Uninitialized);
        QRandomGenerator(2026).fillRange(reinterpret_cast<quint32*>(image.data()),
                                         image.size() / 4);
        QFile file(imagePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
    }
    QString disc(std::size_t index) {
        return harness.scratchPath(QString("disc%1.img").arg(index));
    }
    QByteArray contentsOf(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().left(image.size()) : QByteArray();
    }
    static QString statusOf(const CopyBurn& copy) {
        return copy.row().findChild<QLabel*>("statusField")->text();
    }

    AppHarness harness;
    QString imagePath = harness.scratchPath("Holiday Photos.iso");
    QByteArray image;
    BurnerClaims claims;
    SystemPtyOpener ptyOpener;
    CopiesWindow window;
    CopyBurnController copies{window,
                              {harness.alerts, harness.sounds, harness.store(), ptyOpener, claims,
                               EMBERLIN_DISCTOOL, [this] {
                                   return harness.now;
                               }}};
};

TEST_F(CopiesTest, EachRowEndsAsASingleBurnToItsDriveWould) {
    const std::vector<Drive> drives{
        {"sim:%1?medium=bd-r&insert-after=300ms",
         {ready, BurnStateAwaitingDiscToErase, burning, verifying, ready},
         completed,
         true},
        {"sim:%1?medium=dvd+rw&busy",
         {ready},
         "Unable to get control of the burner - it may be being used by another application.",
         false},
        {"sim:%1?medium=dvd-r&lost-at=200",
         {ready, burning, ready},
         "The selected burner became unavailable.",
         false},
        {"sim:%1?medium=cd-rw&state=full&bad-sector=100",
         {ready, BurnStateAwaitingDiscToErase, BurnStateErasing, burning, verifying, ready},
         "Verify failed: sector 100 of the disc differs from the image (byte 204800)",
         false},
        {"stdio:%1", {ready, burning, verifying, ready}, completed, true},
    };
    std::vector<Burner> burners;
    for (std::size_t index = 0; index < drives.size(); ++index)
        burners.push_back({QString("Burner %1").arg(index),
                           QString::fromLatin1(drives[index].id).arg(disc(index))});
    copies.setBurners(burners);
    std::vector<std::vector<int>> states(drives.size());
    for (std::size_t index = 0; index < drives.size(); ++index) {
        const CopyBurn& copy = *copies.copies()[index];
        copy.row().setChecked(true);
        QObject::connect(&copy, &CopyBurn::progressed, [&copy, &states, index] {
            if (states[index].empty() || states[index].back() != copy.burnState())
                states[index].push_back(copy.burnState());
        });
    }
    window.setChoices({false, true, true, "max"});
    copies.chooseImage(imagePath);
    copies.burn();
    ASSERT_TRUE(waitFor([&] { return !copies.running(); }));

    const QString sha = QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex();
    for (std::size_t index = 0; index < drives.size(); ++index) {
        SCOPED_TRACE(drives[index].id);
        const CopyBurn& copy = *copies.copies()[index];
        EXPECT_EQ(states[index], drives[index].states);
        EXPECT_EQ(statusOf(copy), drives[index].status);
        EXPECT_EQ(copy.succeeded(), drives[index].burned);
        if (drives[index].burned) {
            EXPECT_EQ(contentsOf(disc(index)), image);
        }
    }
    EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::failureSound});
    EXPECT_TRUE(harness.alerts.shown.empty());
}

} // namespace
