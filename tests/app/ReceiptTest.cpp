#include "app/records/BurnReceipt.h"
#include "app/records/BurnRecord.h"
#include "app/records/ReceiptFile.h"
#include "tests/app/AppHarness.h"
#include "tests/support/OtherUser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTranslator>
#include <functional>
#include <gmock/gmock.h>
#include <sys/stat.h>

using namespace emberlin;
using testing::HasSubstr;

namespace {

QString contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString("none");
}

} // namespace

// A receipt never claims a verify that did not happen, nor more than the
// result and the read-back's source allow; nor an erase that no write followed.
TEST(BurnReceiptTest, ClaimsOnlyWhatTheVerifyShowed) {
    struct Case {
        bool verifyChosen;
        std::vector<BurnState> phases;
        bool succeeded;
        QString readback;
        QString readbackFrom;
        const char* says;
    };
    const QString sha(64, u'a');
    const std::vector<BurnState> verified{BurnStateBurning, BurnStateVerifying};
    const char* const holds = "the disc holds exactly the image";
    const std::vector<Case> cases{
        {false, {BurnStateBurning}, true, "", "", "Verify: not done (the option was off)"},
        {true, {BurnStateBurning}, false, "", "", "Verify: not done (the burn ended before it)"},
        {true, {BurnStateErasing}, false, "", "", "Verify: not done (the burn ended before it)"},
        {true, verified, false, "", "", "Verify: did not complete"},
        {true, verified, true, "", "",
         "Verify: completed, but the tool reported no SHA-256 of what it read back"},
        {true, verified, false, QString(64, u'b'), "disc", "It DIFFERS from the image's SHA-256"},
        {true, verified, true, sha.toUpper(), "disc", holds},
        // A tool that does not say where the read-back came from.
        {true, verified, true, sha, "",
         "but the tool did not say whether it read them from the disc or from its cache"},
        // A file target that could not take the image's place after its verify.
        {true, verified, false, sha, "disc", "but the burn failed after the verify"},
        // A drive that could not be made to forget what it wrote.
        {true, verified, true, sha, "cache-or-disc",
         "the drive returned the image's bytes, but it could not be made to read the disc anew, "
         "so they may have come from its cache"},
    };
    for (const Case& c : cases) {
        BurnRecord record;
        record.choices.verify = c.verifyChosen;
        for (const BurnState phase : c.phases)
            record.phases.push_back({phase, {}, {}});
        record.ended = true;
        record.succeeded = c.succeeded;
        record.facts.imageSha256 = sha;
        record.facts.readbackSha256 = c.readback;
        record.facts.readbackFrom = c.readbackFrom;
        record.facts.erase = "fast";
        record.erasedDiscHeld = "data";
        const std::string receipt = composeBurnReceipt(record).toStdString();
        EXPECT_THAT(receipt, HasSubstr(c.says));
        EXPECT_EQ(receipt.find("Erased before burning: data") != std::string::npos,
                  c.phases.back() != BurnStateErasing);
        EXPECT_EQ(receipt.find(holds) != std::string::npos, c.says == holds) << receipt;
    }
}

// The receipt names the image's digests and what a published checksum says of
// them: a .dmg wraps its disc image, so the file's digest (which a download's
// checksum names) and the disc's are told apart, and a match is claimed only
// for the bytes the tool read.
TEST(BurnReceiptTest, NamesTheDigestsAndClaimsAPublishedMatchOnlyForWhatTheToolRead) {
    const QString file(64, u'f'), image(64, u'a'), other(64, u'b');
    const QString published = "the SHA-256 published in SHA256SUMS";
    const struct {
        QString toolRead;
        QString matched; // what the window found before the burn
        bool burnedAnyway;
        QStringList lines;
    } cases[]{
        {file,
         file,
         false,
         {"File SHA-256 (as sha256sum prints it): " + file, "It matches " + published + ".",
          "SHA-256 of the disc image it holds, burned to the disc: " + image}},
        {image, image, false, {"Image SHA-256: " + image, "It matches " + published + "."}},
        {"",
         image,
         false,
         {"Image SHA-256: " + image,
          "It matched " + published + " before the burn; the tool did not report what it read."}},
        {image,
         other,
         false,
         {"Image SHA-256: " + image,
          "It CHANGED while it was burned: what the tool read does not match " + published + "."}},
        {image,
         other,
         true,
         {"Image SHA-256: " + image,
          "It does NOT match " + published + ": burned anyway, as the person chose."}},
    };
    for (const auto& c : cases) {
        BurnRecord record;
        record.facts.fileSha256 = c.toolRead;
        record.facts.imageSha256 = image;
        // Published in capitals: digests compare whatever their case.
        record.checksum =
            ChecksumCheck{"SHA256SUMS", "SHA-256", c.matched.toUpper(), c.burnedAnyway};
        const QStringList lines = composeBurnReceipt(record).split(u'\n');
        EXPECT_EQ(lines.mid(4, c.lines.size()), c.lines) << c.lines.last().toStdString();
        EXPECT_EQ(lines.filter("SHA-256").size(), c.lines.size()) << c.lines.last().toStdString();
    }
}

// What comes from outside (a path, a burner's title, the tool's words) stays
// on its line and in its order.
TEST(BurnReceiptTest, FieldsFromOutsideAreEscaped) {
    const QString raw = QString("a\\b\tc\nd\re") + QChar(0x1b) + "f" + QChar(0x85) + "g" +
                        QChar(0x2028) + "h" + QChar(0x202e) + "i";
    const QString written = R"(a\\b\tc\nd\re\x1bf\x85g\u2028h\u202ei)";
    const auto receiptWith = [](const QString& field) {
        BurnRecord record;
        record.imagePath = field;
        record.burnerTitle = field;
        record.choices = {false, true, false, field};
        record.phases = {{BurnStateBurning, {}, {}}, {BurnStateVerifying, {}, {}}};
        record.ended = true;
        record.status = field;
        record.facts.medium = field;
        record.facts.imageSha256 = field;
        record.facts.readbackSha256 = field;
        return composeBurnReceipt(record);
    };
    const QString receipt = receiptWith(raw);
    for (const char* heading : {"Image: ", "Burner: ", "Speed set: ", "Status: ", "Medium: ",
                                "Image SHA-256: ", "Read-back SHA-256: "})
        EXPECT_THAT(receipt.split(u'\n'), testing::Contains(heading + written)) << heading;
    EXPECT_EQ(receipt.count(u'\n'), receiptWith("plain").count(u'\n'));
}

// In a folder everyone may write to, another user put the image, with lines of
// a shell's in its name, and something under the receipt's suggested name. The
// receipt never goes through a link, whatever it points to.
TEST(ReceiptFileTest, NeverWritesThroughALinkAnotherUserPlanted) {
    const QString unavailable = otheruser::unavailableBecause();
    if (!unavailable.isEmpty())
        GTEST_SKIP() << unavailable.toStdString();
    QTemporaryDir scratch;
    QDir(scratch.path()).mkpath("home");
    const QString victim = QDir(scratch.path()).filePath("home/.bash_aliases");
    struct Case {
        const char* name;
        // Puts what the case names at the receipt's name.
        std::function<bool(const QString& receipt)> plant;
        bool saved;
        QString victimAfter;
    };
    const auto writeFile = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    const std::vector<Case> cases{
        {"a dangling link to a file of the user's",
         [&](const QString& receipt) {
             return otheruser::run({"ln", "-s", victim, receipt});
         },
         false, "none"},
        {"a link to a file of the user's",
         [&](const QString& receipt) {
             return writeFile(victim, "alias ll='ls -l'\n") &&
                    otheruser::run({"ln", "-s", victim, receipt});
         },
         false, "alias ll='ls -l'\n"},
        {"nothing", [](const QString&) { return true; }, true, "none"},
        // Replaced at the person's word, it must not stay writable for others.
        {"an earlier receipt of the user's that everyone may write",
         [&](const QString& receipt) {
             return writeFile(receipt, "an earlier receipt\n") &&
                    ::chmod(QFile::encodeName(receipt).constData(), 0666) == 0;
         },
         true, "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(victim);
        const QString shared = otheruser::makeSharedFolder(scratch.path(), c.name);
        const QString image = shared + "/holiday\nalias ls='touch owned'\n.iso";
        ASSERT_TRUE(otheruser::run({"touch", image}));
        const QString receiptPath = suggestedReceiptPath(image);
        ASSERT_TRUE(c.plant(receiptPath));
        BurnRecord record;
        record.imagePath = image;
        record.ended = true;
        RecordingAlerts alerts;

        EXPECT_EQ(saveBurnReceipt(record, receiptPath, alerts), c.saved);
        EXPECT_EQ(contentsOf(victim), c.victimAfter);
        EXPECT_EQ(QFileInfo(receiptPath).isSymLink(), !c.saved);
        if (c.saved) {
            EXPECT_EQ(contentsOf(receiptPath), composeBurnReceipt(record));
            const mode_t umask = ::umask(0);
            ::umask(umask);
            struct stat saved {};
            ASSERT_EQ(::stat(QFile::encodeName(receiptPath).constData(), &saved), 0);
            EXPECT_EQ(saved.st_mode & 07777, 0666 & ~umask);
            for (const QString& line : contentsOf(receiptPath).split(u'\n'))
                EXPECT_FALSE(line.startsWith("alias")) << line.toStdString();
            EXPECT_TRUE(alerts.shown.empty());
        } else {
            ASSERT_EQ(alerts.shown.size(), 1u);
            EXPECT_EQ(alerts.shown.front().message, "The burn receipt was not saved");
            EXPECT_THAT(alerts.shown.front().informative.toStdString(),
                        HasSubstr("A symbolic link has this name"));
        }
    }
}

// In German the receipt is German throughout: every line that says something
// says it otherwise than in English, the window's status line included.
TEST(BurnReceiptTest, IsAllInTheUsersLanguage) {
    const auto receiptNow = [] {
        BurnRecord record;
        record.imagePath = "/images/disc.iso";
        record.burnerTitle = "Virtual Writer";
        record.choices = {false, true, true, "max"};
        record.phases = {
            {BurnStateErasing, {}, {}}, {BurnStateBurning, {}, {}}, {BurnStateVerifying, {}, {}}};
        record.ended = true;
        record.succeeded = true;
        // As the window shows it.
        record.status = QCoreApplication::translate(
            "ProgressInterpreter",
            "Burn completed successfully - ready to burn another disk image.");
        record.facts.imageSha256 = QString(64, u'a');
        record.facts.readbackSha256 = QString(64, u'a');
        return composeBurnReceipt(record).split(u'\n');
    };
    const QStringList english = receiptNow();
    QTranslator german;
    ASSERT_TRUE(german.load(":/i18n/emberlin_de.qm"));
    QCoreApplication::installTranslator(&german);
    const QStringList translated = receiptNow();
    QCoreApplication::removeTranslator(&german);
    ASSERT_EQ(translated.size(), english.size());
    for (qsizetype line = 0; line < english.size(); ++line) {
        if (!english[line].isEmpty()) {
            EXPECT_NE(translated[line], english[line]);
        }
    }
}
