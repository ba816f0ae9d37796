#include "app/burn/ChecksumFile.h"
#include "app/records/BurnRecord.h"
#include "tests/app/AppHarness.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <map>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace emberlin;

namespace {

// SHA-256 of AppHarness::makeImage's bytes ("disc image"), and another.
const QString imageSha = QCryptographicHash::hash("disc image", QCryptographicHash::Sha256).toHex();
const QString otherSha = QString(64, u'7');

void write(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(path));
}

struct ChecksumCase {
    const char* name;
    QString image;
    // Written beside the image; %1 is its SHA-256, %U the same in capitals, %2 another.
    std::map<QString, QString> files;
    QString found; // "FILE SHA-256", "FILE SHA-256 signed" or empty
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
                                         .replace("%2", otherSha));
    const std::optional<ChecksumFile> found = findChecksumFile(folder.filePath(c.image));
    const QString shown =
        found ? QString("%1 %2%3").arg(found->fileName, found->published.sha256,
                                       found->published.clearSigned ? " signed" : "")
              : QString();
    EXPECT_EQ(shown, QString(c.found).replace("%1", imageSha));
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
    ChecksumCase{"OtherAlgorithmsAndShortHashes", "disc.iso",
                 {{"CHECKSUM", "SHA512 (disc.iso) = %1%1\nSHA256 (disc.iso) = 0123\n"}}, ""},
    ChecksumCase{"NoChecksumFile", "disc.iso", {{"README", "%1  disc.iso\n"}}, ""}),
    NamedCase());
// clang-format on

// Nothing in the image's folder makes the look wait or decides for the user:
// a named pipe under a checksum file's name, another user's file.
TEST(ChecksumFileTest, APipeOrAnotherUsersFileIsPassedOver) {
    QTemporaryDir folder;
    const QString image = folder.filePath("disc.iso");
    write(image, "disc image");
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.filePath("disc.iso.sha256")).constData(), 0600), 0);
    const QString planted = folder.filePath("SHA256SUMS");
    write(planted, QString("%1  disc.iso\n").arg(otherSha));
    write(folder.filePath("CHECKSUM"), QString("SHA256 (disc.iso) = %1\n").arg(imageSha));
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    if (::chown(QFile::encodeName(planted).constData(), nobody->pw_uid, nobody->pw_gid) != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    const std::optional<ChecksumFile> found = findChecksumFile(image);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->fileName, "CHECKSUM");
}

class ChecksumBurnTest : public testing::Test {
protected:
    void SetUp() override {
        harness.listTwoBurners();
        harness.fake.setBurn({fake::hang()});
        harness.start();
    }
    QString publish(const QString& sha256) {
        write(harness.scratchPath("SHA256SUMS"), sha256 + "  disc.iso\n");
        return harness.makeImage();
    }
    QString note() { return harness.window().findChild<QLabel*>("checksumField")->text(); }
    AppHarness harness;
};

TEST_F(ChecksumBurnTest, AMatchIsShownAndGoesIntoTheReceiptBeforeTheBurnStarts) {
    // Right after the match, the controls the window enables are a burn's
    // before the tool speaks, and so is the status.
    QString statusAfterMatch;
    QObject::connect(&harness.controller(), &EmberlinController::imageMatchedChecksum,
                     [&] { statusAfterMatch = harness.status(); });
    harness.controller().openFiles({publish(imageSha)});
    EXPECT_EQ(harness.status(), "Checking “disc.iso” against SHA256SUMS...");
    EXPECT_TRUE(harness.ui().cancelButton->isEnabled());
    EXPECT_FALSE(harness.ui().burnAgainButton->isEnabled());
    EXPECT_TRUE(harness.fake.burnCalls().empty());
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(note(), "“disc.iso” matches its SHA-256 in SHA256SUMS.");
    EXPECT_EQ(statusAfterMatch, "Please wait...");
    EXPECT_EQ(harness.journal().record().matchedChecksumFile, "SHA256SUMS");
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
        EXPECT_TRUE(harness.journal().record().matchedChecksumFile.isEmpty());
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
