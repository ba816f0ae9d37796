#include "app/burn/ChecksumFile.h"
#include "app/records/BurnReceipt.h"
#include "app/records/BurnRecord.h"
#include "tests/app/AppHarness.h"
#include "tests/support/OtherUser.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <functional>
#include <gmock/gmock.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace emberlin;
using testing::HasSubstr;
using testing::Not;

namespace {

// SHA-256 and SHA-512 of AppHarness::makeImage's bytes ("disc image"), and another.
const QString imageSha = QCryptographicHash::hash("disc image", QCryptographicHash::Sha256).toHex();
const QString imageSha512 =
    QCryptographicHash::hash("disc image", QCryptographicHash::Sha512).toHex();
const QString otherSha = QString(64, u'7');

void write(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(path));
}

struct ChecksumCase {
    const char* name;
    QString image;
    // Written beside the image; %1 is its SHA-256, %U the same in capitals,
    // %5 its SHA-512, %2 another.
    std::map<QString, QString> files;
    QString found; // "FILE DIGEST", "FILE DIGEST signed" or empty
};

class ChecksumFileTest : public testing::TestWithParam<ChecksumCase> {};

// Checksum files as distributions publish them, beside the image.
TEST_P(ChecksumFileTest, FindsTheImagesPublishedSha256) {
    const ChecksumCase& c = GetParam();
    QTemporaryDir folder;
    write(folder.filePath(c.image), "disc image");
    for (const auto& [name, text] : c.files)
        write(folder.filePath(name), QString(text)
                                         .replace("%1", imageSha)
                                         .replace("%U", imageSha.toUpper())
                                         .replace("%5", imageSha512)
                                         .replace("%2", otherSha));
    const std::optional<ChecksumFile> found = findChecksumFile(folder.filePath(c.image));
    const QString shown =
        found ? QString("%1 %2%3").arg(found->fileName, found->published.digest,
                                       found->published.clearSigned ? " signed" : "")
              : QString();
    EXPECT_EQ(shown, QString(c.found).replace("%1", imageSha).replace("%5", imageSha512));
}

const QString fedoraChecksum = R"(-----BEGIN PGP SIGNED MESSAGE-----
Hash: SHA256

# Fedora-Workstation-Live-x86_64-39-1.5.iso: 2253978624 bytes
SHA256 (Fedora-Workstation-Live-x86_64-39-1.5.iso) = %1
- SHA256 (dash-escaped.iso) = %1
-----BEGIN PGP SIGNATURE-----

iQIzBAEBCAAdFiEEhtGD5eWHAbxvcJlKkpazs9zDpZcFAmU+3r8ACgkQkpazs9zD
=Ku2a
-----END PGP SIGNATURE-----
SHA256 (after-the-signature.iso) = %1
)";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Distributions, ChecksumFileTest, testing::Values(
    ChecksumCase{"DebianTwoBlanks", "debian-12.2.0-amd64-netinst.iso",
                 {{"SHA256SUMS", "%2  debian-edu-12.2.0-amd64-netinst.iso\n%1  debian-12.2.0-amd64-netinst.iso\n"}},
                 "SHA256SUMS %1"},
    ChecksumCase{"UbuntuBinaryMarkCrLf", "ubuntu-22.04.3-desktop-amd64.iso",
                 {{"SHA256SUMS", "%2 *ubuntu-22.04.3-live-server-amd64.iso\r\n%1 *ubuntu-22.04.3-desktop-amd64.iso\r\n"}},
                 "SHA256SUMS %1"},
    ChecksumCase{"FedoraClearSignedBsd", "Fedora-Workstation-Live-x86_64-39-1.5.iso",
                 {{"CHECKSUM", fedoraChecksum}}, "CHECKSUM %1 signed"},
    ChecksumCase{"DashEscapedInTheSignedText", "dash-escaped.iso", {{"CHECKSUM", fedoraChecksum}},
                 "CHECKSUM %1 signed"},
    ChecksumCase{"NothingAfterTheSignatureCounts", "after-the-signature.iso", {{"CHECKSUM", fedoraChecksum}}, ""},
    ChecksumCase{"UpperCaseHashAndDotSlash", "disc.iso", {{"SHA256SUMS", "%U  ./disc.iso\n"}}, "SHA256SUMS %1"},
    ChecksumCase{"EscapedName", "back\\slash.iso", {{"SHA256SUMS", "\\%1  back\\\\slash.iso\n"}}, "SHA256SUMS %1"},
    ChecksumCase{"ThePerImageFileFirstAndItsHashAlone", "disc.iso",
                 {{"disc.iso.sha256", "%1\n"}, {"SHA256SUMS", "%2  disc.iso\n"}}, "disc.iso.sha256 %1"},
    ChecksumCase{"Sha256sumSuffix", "disc.iso", {{"disc.iso.sha256sum", "%1  disc.iso\n"}}, "disc.iso.sha256sum %1"},
    ChecksumCase{"AHashAloneInAListNamesNothing", "disc.iso", {{"SHA256SUMS", "%1\n"}}, ""},
    ChecksumCase{"ANameThatOnlyEndsLikeTheImage", "disc.iso", {{"SHA256SUMS", "%1  my-disc.iso\n%1  disc.iso.zip\n"}}, ""},
    ChecksumCase{"ShortHashesAndATagOfTheWrongLength", "disc.iso",
                 {{"CHECKSUM", "SHA512 (disc.iso) = %1\nSHA256 (disc.iso) = 0123\nMD5 (disc.iso) = %1\n"}}, ""},
    ChecksumCase{"DebianSha512sumsBeforeSha256sums", "debian-12.2.0-amd64-netinst.iso",
                 {{"SHA512SUMS", "%5  debian-12.2.0-amd64-netinst.iso\n"}, {"SHA256SUMS", "%1  debian-12.2.0-amd64-netinst.iso\n"}},
                 "SHA512SUMS %5"},
    ChecksumCase{"ThePerImageSha512File", "disc.iso", {{"disc.iso.sha512", "%5\n"}}, "disc.iso.sha512 %5"},
    ChecksumCase{"BsdSha512PreferredInTheSameFile", "disc.iso",
                 {{"CHECKSUM", "SHA256 (disc.iso) = %1\nSHA512 (disc.iso) = %5\n"}}, "CHECKSUM %5"},
    ChecksumCase{"ArchSha256sumsTxt", "archlinux-2024.12.01-x86_64.iso",
                 {{"sha256sums.txt", "%2  archlinux-bootstrap-x86_64.tar.zst\n%1  archlinux-2024.12.01-x86_64.iso\n"}},
                 "sha256sums.txt %1"},
    ChecksumCase{"FedoraReleaseChecksum", "Fedora-Workstation-Live-x86_64-41-1.4.iso",
                 {{"Fedora-Workstation-41-1.4-x86_64-CHECKSUM", QString(fedoraChecksum).replace("39-1.5", "41-1.4")}},
                 "Fedora-Workstation-41-1.4-x86_64-CHECKSUM %1 signed"},
    ChecksumCase{"NoChecksumFile", "disc.iso", {{"README", "%1  disc.iso\n"}}, ""}),
    NamedCase());
// clang-format on

// Nothing in the image's folder makes the look wait or decides for the
// person: only a regular file of theirs (or root's) that no one else can have
// written counts. The folder is shared, so another user may plant names in it.
TEST(ChecksumFileTest, OnlyAFileNoOneElseCanHaveWrittenCounts) {
    const QString unavailable = otheruser::unavailableBecause();
    if (!unavailable.isEmpty())
        GTEST_SKIP() << unavailable.toStdString();
    QTemporaryDir scratch;
    const QString own = scratch.filePath("own SHA256SUMS");
    const QString lie = QString("%1  disc.iso\n").arg(otherSha);
    const auto asFile = [](const QString& path) {
        return QFile::encodeName(path);
    };
    struct Case {
        const char* name;
        std::function<bool(const QString& planted)> plant; // at SHA256SUMS
        QString found;
    };
    const std::vector<Case> cases{
        {"the person's own file", [&](const QString& p) { return (write(p, lie), true); },
         "SHA256SUMS"},
        {"a named pipe", [&](const QString& p) { return ::mkfifo(asFile(p), 0600) == 0; },
         "CHECKSUM"},
        {"another user's file",
         [&](const QString& p) {
             return otheruser::run({"sh", "-c", "echo \"$0\" > \"$1\"", lie, p});
         },
         "CHECKSUM"},
        {"another user's link to the person's file",
         [&](const QString& p) {
             return (write(own, lie), otheruser::run({"ln", "-s", own, p}));
         },
         "CHECKSUM"},
        {"the person's file that everyone may write",
         [&](const QString& p) { return (write(p, lie), ::chmod(asFile(p), 0666) == 0); },
         "CHECKSUM"},
        {"the person's file with another name elsewhere",
         [&](const QString& p) { return (write(own, lie), ::link(asFile(own), asFile(p)) == 0); },
         "CHECKSUM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(own);
        const QDir folder(otheruser::makeSharedFolder(scratch.path(), c.name));
        write(folder.filePath("disc.iso"), "disc image");
        write(folder.filePath("CHECKSUM"), QString("SHA256 (disc.iso) = %1\n").arg(imageSha));
        ASSERT_TRUE(c.plant(folder.filePath("SHA256SUMS")));
        const std::optional<ChecksumFile> found = findChecksumFile(folder.filePath("disc.iso"));
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->fileName, c.found);
    }
}

class ChecksumBurnTest : public TwoBurnersTest {
protected:
    QString publish(const QString& sha256) {
        write(harness.scratchPath("SHA256SUMS"), sha256 + "  disc.iso\n");
        return harness.makeImage();
    }
    QString note() { return harness.window().findChild<QLabel*>("checksumField")->text(); }
};

// Through the real tool, a match is claimed only for the bytes it burned: a
// published SHA-512 through the SHA-256 of the same read, and an image that
// another hand rewrites once the window has found it matching, before the
// tool opens it, fails the burn.
TEST(ChecksumChangeTest, AMatchHoldsOnlyForTheBytesTheToolBurned) {
    const struct {
        const char* sums;
        QString line;
        bool rewritten;
        QString status;
        const char* receiptSays;
    } cases[]{
        {"SHA512SUMS", imageSha512 + "  disc.iso\n", false,
         "Burn completed successfully - ready to burn another disk image.",
         "It matches the SHA-512 published in SHA512SUMS."},
        {"SHA256SUMS", imageSha + "  disc.iso\n", true,
         "Burn failed - the image changed while it was burned: the disc does not hold the image "
         "that matched its published checksum.",
         "It CHANGED while it was burned"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sums);
        const QTemporaryDir discs;
        qputenv("EMBERLIN_VIRTUAL_BURNERS", ("stdio:" + discs.filePath("disc.img")).toUtf8());
        AppHarness::Options realTool;
        realTool.toolPath = EMBERLIN_DISCTOOL;
        AppHarness harness(realTool);
        harness.start();
        qunsetenv("EMBERLIN_VIRTUAL_BURNERS");
        write(harness.scratchPath(c.sums), c.line);
        const QString image = harness.makeImage();
        // The window's own step between the comparison and the tool's start.
        QObject::connect(&harness.controller().burnReports(), &BurnReports::stateChanged,
                         [&](BurnState state) {
                             if (c.rewritten && state == BurnStateReady &&
                                 harness.status().startsWith("Checking"))
                                 write(image, "another disc image");
                         });
        harness.controller().openFiles({image});
        ASSERT_TRUE(waitFor([&] { return harness.journal().receiptReady(); }));
        EXPECT_EQ(harness.status(), c.status);
        const std::string receipt = composeBurnReceipt(harness.journal().record()).toStdString();
        EXPECT_THAT(receipt, HasSubstr(c.receiptSays));
        EXPECT_EQ(receipt.find("Result: succeeded") != std::string::npos, !c.rewritten);
    }
}

TEST_F(ChecksumBurnTest, AMatchIsShownAndGoesIntoTheReceiptBeforeTheBurnStarts) {
    // Right after the match, the controls the window enables are a burn's
    // before the tool speaks, and so is the status.
    QString statusAfterMatch;
    QObject::connect(&harness.controller().burnReports(), &BurnReports::checksumChecked,
                     [&] { statusAfterMatch = harness.status(); });
    harness.controller().openFiles({publish(imageSha)});
    EXPECT_EQ(harness.status(), "Checking “disc.iso” against SHA256SUMS...");
    EXPECT_TRUE(harness.ui().cancelButton->isEnabled());
    EXPECT_FALSE(harness.ui().burnAgainButton->isEnabled());
    EXPECT_TRUE(harness.fake.burnCalls().empty());
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(note(), "“disc.iso” matches its SHA-256 in SHA256SUMS.");
    EXPECT_EQ(statusAfterMatch, "Please wait...");
    EXPECT_EQ(harness.journal().record().checksum->fileName, "SHA256SUMS");
    EXPECT_TRUE(harness.alerts.shown.empty());
}

struct MismatchCase {
    const char* name;
    int answer;
    bool burned;
};

class ChecksumMismatchTest : public ChecksumBurnTest,
                             public testing::WithParamInterface<MismatchCase> {};

TEST_P(ChecksumMismatchTest, StopsTheBurnUntilThePersonDecides) {
    harness.alerts.answer = [&](const RecordingAlerts::Alert&) {
        return GetParam().answer;
    };
    harness.controller().openFiles({publish(otherSha)});
    ASSERT_TRUE(waitFor([&] { return !harness.alerts.shown.empty(); }));
    EXPECT_EQ(harness.alerts.shown[0],
              (RecordingAlerts::Alert{"The image does not match its checksum",
                                      QString("The SHA-256 of “disc.iso” is %1, but SHA256SUMS "
                                              "gives %2. The download may be damaged or not the "
                                              "one published.")
                                          .arg(imageSha, otherSha),
                                      {"Burn Anyway", "Don't Burn"},
                                      1}));
    if (GetParam().burned) {
        ASSERT_TRUE(harness.waitForBurnCalls(1));
        EXPECT_EQ(note(), "“disc.iso” does not match its SHA-256 in SHA256SUMS.");
        EXPECT_THAT(composeBurnReceipt(harness.journal().record()).toStdString(),
                    HasSubstr("It does NOT match the SHA-256 published in SHA256SUMS: burned "
                              "anyway, as the person chose."));
    } else {
        EXPECT_EQ(harness.status(), "Not burned - “disc.iso” does not match SHA256SUMS.");
        EXPECT_EQ(harness.sounds.played, QStringList{AppHarness::failureSound});
        EXPECT_TRUE(harness.fake.burnCalls().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ChecksumMismatchTest,
                         testing::Values(MismatchCase{"BurnAnyway", 0, true},
                                         MismatchCase{"DontBurn", 1, false}),
                         NamedCase());

TEST_F(ChecksumBurnTest, ACancelDuringTheCheckBurnsNothing) {
    harness.controller().openFiles({publish(imageSha)});
    harness.ui().cancelButton->click(); // before the check's answer can arrive
    EXPECT_EQ(harness.status(), "Burn cancelled.  Ready to burn another disk image.");
    QCoreApplication::processEvents();
    EXPECT_TRUE(harness.fake.burnCalls().empty());
    EXPECT_TRUE(harness.ui().burnAgainButton->isEnabled());
}

} // namespace
