#include "app/records/BurnReceipt.h"
#include "app/records/BurnRecord.h"
#include "tests/app/AppHarness.h"
#include "tests/support/DiscFixture.h"
#include "tests/support/UdifFixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <gmock/gmock.h>

using namespace emberlin;

namespace {

// The window with emberlin-disctool offering burners named through its
// environment, burning an image whose size is no whole number of sectors.
class DisctoolEndToEnd : public testing::Test {
protected:
    static AppHarness::Options realTool() {
        AppHarness::Options options;
        options.toolPath = QString(EMBERLIN_DISCTOOL);
        return options;
    }
    void SetUp() override {
        image = QByteArray(3 * 1024 * 1024 + 777, Qt::Uninitialized);
        QRandomGenerator generator(2026);
        for (char& byte : image)
            byte = static_cast<char>(generator.bounded(256));
        ASSERT_TRUE(write(imagePath, image));
    }
    void TearDown() override { qunsetenv("EMBERLIN_VIRTUAL_BURNERS"); }
    void offer(const QString& burners) { qputenv("EMBERLIN_VIRTUAL_BURNERS", burners.toUtf8()); }
    static bool write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    QByteArray contentsOf(const QString& path, qsizetype size = -1) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().left(size < 0 ? image.size() : size)
                                              : QByteArray();
    }
    static QString sha256(const QByteArray& bytes) {
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    }
    // Until the burn succeeded or an alert came.
    bool waitForTheEnd() {
        return waitFor([&] {
            return harness.status().startsWith("Burn completed successfully") ||
                   !harness.alerts.shown.empty();
        });
    }

    AppHarness harness{realTool()};
    QString imagePath = harness.scratchPath("Holiday Photos.iso");
    QByteArray image;
};

TEST_F(DisctoolEndToEnd, ListingShowsTheVirtualBurners) {
    offer(QString("sim:%1?medium=cd-rw;stdio:%2")
              .arg(harness.scratchPath("disc.img"), harness.scratchPath("out.iso")));
    harness.start();
    EXPECT_EQ(harness.state(), BurnStateReady);
    ASSERT_EQ(harness.ui().burnerMenu->count(), 2);
    EXPECT_EQ(harness.ui().burnerMenu->itemText(0), "Simulated CD-RW burner 1 ");
    EXPECT_EQ(harness.ui().burnerMenu->itemText(1), "Image-file burner 2 ");
}

// The window names the refused disc's room below the prompt for another.
TEST_F(DisctoolEndToEnd, ARefusedDiscStaysNamedWhileTheWindowWaitsForAnother) {
    offer(QString("sim:%1?medium=cd-r&capacity=1M").arg(harness.scratchPath("disc.img")));
    harness.start();
    harness.controller().openFiles({imagePath});
    ASSERT_TRUE(harness.waitForState(BurnStateAwaitingDiscToErase));
    EXPECT_EQ(harness.status(), "Please insert a writable disc...");
    EXPECT_EQ(harness.window().findChild<QLabel*>("discNoteField")->text(),
              "The last disc has room for 1.0 MB; the image needs 3.1 MB.");
    harness.ui().cancelButton->click();
}

// A drive another tool still holds (one coming to rest after its window
// quit) is busy, not gone.
TEST_F(DisctoolEndToEnd, ADriveAnotherToolHoldsIsBusy) {
    const QString burner = QString("sim:%1?medium=cd-r&stall-at=100&resume=@%2")
                               .arg(harness.scratchPath("disc.img"), harness.scratchPath("go"));
    QProcess holder;
    holder.start(QString(EMBERLIN_DISCTOOL),
                 {"burn", imagePath, "-puppetstrings", "-device", burner});
    // Writing: the drive is held, and its disc has grown past what the
    // drive's state file says of it.
    ASSERT_TRUE(waitFor([&] { return QFileInfo(harness.scratchPath("disc.img")).size() > 0; }));
    offer(burner);
    harness.start();
    harness.controller().openFiles({imagePath});
    ASSERT_TRUE(waitFor([&] { return harness.sounds.played.size() == 1; }));
    EXPECT_EQ(harness.status(),
              "Unable to get control of the burner - it may be being used by another "
              "application.");
    EXPECT_EQ(harness.state(), BurnStateReady);
    EXPECT_TRUE(harness.alerts.shown.empty());
    holder.kill();
    holder.waitForFinished();
}

struct BurnCase {
    const char* name;
    const char* burner; // %1: the file the disc is kept in
    std::vector<BurnState> states;
};

class Burn : public DisctoolEndToEnd, public testing::WithParamInterface<BurnCase> {};

TEST_P(Burn, WindowPassesThroughEveryStateOfTheBurn) {
    const QString disc = harness.scratchPath("disc.img");
    offer(QString::fromLatin1(GetParam().burner).arg(disc));
    harness.start();
    harness.window().setChoices({false, true, false, "max"});
    harness.states = {harness.state()};
    harness.controller().openFiles({imagePath});
    ASSERT_TRUE(waitForTheEnd());
    EXPECT_TRUE(harness.alerts.shown.empty());
    EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::successSound});
    EXPECT_EQ(harness.states, GetParam().states);
    EXPECT_EQ(contentsOf(disc), image);

    // The receipt proves it with the tool's digests of what it wrote and read.
    ASSERT_TRUE(waitFor([&] { return harness.journal().receiptReady(); }));
    const QString sha = sha256(image);
    EXPECT_EQ(harness.journal().record().facts.imageSha256, sha);
    const std::string receipt = composeBurnReceipt(harness.journal().record()).toStdString();
    for (const QString& line : {"Image SHA-256: " + sha, "Read-back SHA-256: " + sha,
                                QString("It equals the image's SHA-256")})
        EXPECT_THAT(receipt, testing::HasSubstr(line.toStdString()));
}

// An Apple .dmg burns the disc image it holds, and the receipt names the
// file's SHA-256 (what its download's checksum names) apart from the disc's.
TEST_F(DisctoolEndToEnd, ADmgBurnsTheDiscImageItHoldsAndTheReceiptNamesBothDigests) {
    using udiffixture::Coding;
    const udiffixture::Image made = udiffixture::make(
        {{"Apple_partition_map", {{Coding::Zlib, 63}}},
         {"Apple_HFS", {{Coding::Bzip2, 2048}, {Coding::Zlib, 2048}, {Coding::Ignored, 100}}}},
        std::vector<char>(image.begin(), image.end()));
    const QString dmg = harness.scratchPath("Installer.dmg");
    const QByteArray file(made.file.data(), static_cast<qsizetype>(made.file.size()));
    const QByteArray expanded(made.expanded.data(), static_cast<qsizetype>(made.expanded.size()));
    ASSERT_TRUE(write(dmg, file));
    const QString disc = harness.scratchPath("disc.img");
    offer(QString("sim:%1?medium=dvd+r").arg(disc));
    harness.start();
    harness.window().setChoices({false, true, false, "max"});
    harness.controller().openFiles({dmg});
    ASSERT_TRUE(waitForTheEnd());
    EXPECT_TRUE(harness.alerts.shown.empty());
    EXPECT_EQ(contentsOf(disc, expanded.size()), expanded);

    ASSERT_TRUE(waitFor([&] { return harness.journal().receiptReady(); }));
    const std::string receipt = composeBurnReceipt(harness.journal().record()).toStdString();
    for (const QString& line :
         {"File SHA-256 (as sha256sum prints it): " + sha256(file),
          "SHA-256 of the disc image it holds, burned to the disc: " + sha256(expanded),
          "Read-back SHA-256: " + sha256(expanded)})
        EXPECT_THAT(receipt, testing::HasSubstr(line.toStdString()));
}

// A DVD+RW holding an HFS+ volume, as a burnt .dmg leaves it, is refused
// without erasing: the window says so and asks for another disc, which is
// burned, and the first keeps its bytes.
TEST_F(DisctoolEndToEnd, ADiscThatHoldsDataIsRefusedAndTheNextOneBurned) {
    QByteArray volume(64 * 1024, '\0');
    volume.replace(1024, 4, QByteArray("H+\0\4", 4));
    const QString held = harness.scratchPath("backup.dmg");
    ASSERT_TRUE(write(held, volume));
    const QString disc = harness.scratchPath("disc.img");
    offer(QString("sim:%1?medium=dvd+rw,dvd+rw&contents=%2,").arg(disc, held));
    harness.start();
    harness.window().setChoices({false, true, false, "max"});
    harness.states = {harness.state()};
    harness.controller().openFiles({imagePath});
    ASSERT_TRUE(waitForTheEnd());
    EXPECT_TRUE(harness.alerts.shown.empty());
    EXPECT_EQ(harness.sounds.played,
              (QStringList{AppHarness::failureSound, AppHarness::successSound}));
    EXPECT_EQ(harness.states,
              (std::vector<BurnState>{BurnStateReady, BurnStateAwaitingDisc, BurnStateBurning,
                                      BurnStateVerifying, BurnStateReady}));
    EXPECT_EQ(contentsOf(disc, volume.size()), volume);
    EXPECT_EQ(contentsOf(disc + ".2"), image);
}

constexpr BurnState ready = BurnStateReady;
constexpr BurnState burning = BurnStateBurning;
constexpr BurnState verifying = BurnStateVerifying;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Burners, Burn, testing::Values(
    BurnCase{"ImageFile", "stdio:%1", {ready, burning, verifying, ready}},
    BurnCase{"BlankDiscWithoutErase", "sim:%1?medium=dvd-r&insert-after=300ms", {ready, BurnStateAwaitingDisc, burning, verifying, ready}}),
    NamedCase());
// clang-format on

struct EraseCase {
    const char* name;
    const char* burner; // DISC: the file the disc is kept in; VOLUME: what it holds
    int answer;         // the button pressed; -1: Return
    bool asked;
    bool kept; // the next disc is burned
    std::vector<BurnState> states;
};

class EraseQuestion : public DisctoolEndToEnd, public testing::WithParamInterface<EraseCase> {};

// Erasing is on, as at first start: a disc that holds data is erased only when
// the person says so, and Return keeps it; a blank disc is not asked about.
TEST_P(EraseQuestion, ADiscHoldingDataIsErasedOnlyWhenThePersonSaysSo) {
    const EraseCase& c = GetParam();
    const QString volume = harness.scratchPath("backup.iso");
    writeDiscFixture("iso", volume.toStdString());
    const QByteArray held = contentsOf(volume, QFileInfo(volume).size());
    const QString disc = harness.scratchPath("disc.img");
    offer(QString(c.burner).replace("DISC", disc).replace("VOLUME", volume));
    harness.start();
    harness.states = {harness.state()};
    QByteArray discDuringQuestion;
    harness.alerts.answer = [&](const RecordingAlerts::Alert& alert) {
        discDuringQuestion = contentsOf(disc, held.size());
        return c.answer < 0 ? alert.defaultButton : c.answer;
    };
    harness.controller().openFiles({imagePath});
    ASSERT_TRUE(
        waitFor([&] { return harness.status().startsWith("Burn completed successfully"); }));

    const QString burner = "“Simulated CD-RW burner 1”";
    const QString holds = R"(1 session (0.7 MB), an ISO 9660 file system named "EMBERLIN_ISO")";
    EXPECT_EQ(harness.alerts.shown, std::vector<RecordingAlerts::Alert>(
                                        c.asked, {"Erase the disc in " + burner + "?",
                                                  "The CD-RW in " + burner + " holds " + holds +
                                                      ". Erasing it destroys what it holds.",
                                                  {"Erase Disc", "Use Another Disc"},
                                                  1}));
    EXPECT_EQ(harness.states, c.states);
    // Nothing is erased while the question is open, nor when the disc is kept.
    EXPECT_EQ(discDuringQuestion, c.asked ? held : QByteArray());
    EXPECT_EQ(contentsOf(disc, held.size()) == held, c.kept);
    EXPECT_EQ(contentsOf(c.kept ? disc + ".2" : disc), image);
    ASSERT_TRUE(waitFor([&] { return harness.journal().receiptReady(); }));
    EXPECT_EQ(composeBurnReceipt(harness.journal().record())
                  .contains("\nErased before burning: " + holds + "\n"),
              c.asked && !c.kept);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Discs, EraseQuestion, testing::Values(
    EraseCase{"HoldingDataErased", "sim:DISC?medium=cd-rw&state=full&insert-after=300ms&erase-time=200ms&contents=VOLUME", 0, true, false, {ready, BurnStateAwaitingDiscToErase, BurnStateErasing, burning, verifying, ready}},
    EraseCase{"HoldingDataKept", "sim:DISC?medium=cd-rw&state=full,blank&insert-after=300ms&contents=VOLUME,", -1, true, true, {ready, BurnStateAwaitingDiscToErase, burning, verifying, ready}},
    EraseCase{"BlankNotAsked", "sim:DISC?medium=cd-rw&insert-after=300ms", -1, false, false, {ready, BurnStateAwaitingDiscToErase, burning, verifying, ready}}),
    NamedCase());
// clang-format on

} // namespace
