#include "app/records/BurnReceipt.h"
#include "app/records/BurnRecord.h"
#include "app/records/ReceiptFile.h"
#include "tests/app/AppHarness.h"

#include <QAction>
#include <QCryptographicHash>
#include <QFile>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace emberlin;
using testing::HasSubstr;
using testing::Not;

namespace {

QString shownJobProgress(AppHarness& harness) {
    const auto* field = harness.window().findChild<QLabel*>("jobProgressField");
    return field->isVisible() ? field->text() : QString("hidden");
}

// Steps the steady clock to this second of the burn, lets the tool take its
// next step, and waits for the second line to read as expected.
class BurnTimeline {
public:
    explicit BurnTimeline(AppHarness& harness)
        : harness_(harness)
        , start_(harness.steadyNow) {}

    void at(int seconds, const char* step, const char* expected) {
        harness_.steadyNow = start_ + std::chrono::seconds(seconds);
        if (step)
            harness_.fake.release(step);
        EXPECT_TRUE(waitFor([&] { return shownJobProgress(harness_) == expected; }))
            << "at " << seconds << " s: " << shownJobProgress(harness_).toStdString();
    }

private:
    AppHarness& harness_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace

// A 4x DVD+R burn of 664.8 MB: the model says 120 s of writing, 6 s closing
// and 120 s of verifying. The test steps the steady clock before each step;
// near the end the time of day is set an hour ahead, which the time left
// ignores and the receipt shows. The drive cannot reload the disc before its
// verify, which the receipt tells.
TEST(BurnReportsTest, SecondLineAndReceiptFollowARealBurn) {
    AppHarness harness;
    harness.window().show();
    const QString image = harness.makeImage();
    const QString imageSha =
        QCryptographicHash::hash("disc image", QCryptographicHash::Sha256).toHex();
    harness.listTwoBurners();
    harness.fake.setBurn(
        {fake::say("Preparing data for burn\nFACT: medium=dvd+r capacity=4700372992 "
                   "image-bytes=664800000 write-kbps=5540 read-kbps=5540\n"),
         fake::mark("facts"), fake::await("half"),
         fake::say("PERCENT:50\nFACT: bytes-written=332400000\n"), fake::await("verify"),
         fake::say("Verifying burn\n"), fake::await("late"),
         fake::say("PERCENT:90\nFACT: bytes-verified=598320000\n"), fake::await("end"),
         fake::say("FACT: readback-from=cache-or-disc readback-sha256=" + imageSha.toLatin1() +
                   "\nBurn completed successfully\n")});
    harness.start();
    harness.window().setChoices({false, true, false, "4x"});
    harness.controller().openFiles({image});
    BurnTimeline timeline(harness);
    const QDateTime wallStart = harness.now;
    const auto at = [&](int seconds, const char* step, const char* expected) {
        harness.now = wallStart.addSecs(seconds + (seconds >= 243 ? 3600 : 0));
        timeline.at(seconds, step, expected);
    };
    ASSERT_TRUE(waitFor([&] { return harness.fake.marked("facts"); }));
    at(0, nullptr, "4x, 5.5 MB/s – about 4 minutes left");
    at(60, "half", "4x, 5.5 MB/s – about 3 minutes left");
    at(130, "verify", "4x, 5.5 MB/s – about 2 minutes left");
    at(238, "late", "4x, 5.5 MB/s – about 15 seconds left");
    at(243, nullptr, "4x, 5.5 MB/s – about 10 seconds left");
    at(250, "end", "hidden");

    ASSERT_TRUE(waitFor([&] { return harness.journal().receiptReady(); }));
    EXPECT_TRUE(harness.window().findChild<QAction*>("saveReceiptAction")->isEnabled());
    const QString receipt = composeBurnReceipt(harness.journal().record());
    for (const QString& line :
         {"Image: " + image, QString("Size: 10 bytes"), "Image SHA-256: " + imageSha,
          QString("Burner: Virtual Writer"), QString("Medium: dvd+r"),
          QString("Options: leave appendable no, verify yes, erase first no"),
          QString("Speed set: 4x"),
          QString("Burning: 2026-12-07T06:00:00Z to 2026-12-07T06:02:10Z"),
          QString("Verifying: 2026-12-07T06:02:10Z to 2026-12-07T07:04:10Z"),
          QString("Status: Burn completed successfully - ready to burn another disk image."),
          "Read-back SHA-256: " + imageSha,
          QString("It equals the image's SHA-256: the drive returned the image's bytes, but it "
                  "could not be made to read the disc anew, so they may have come from its "
                  "cache.")})
        EXPECT_THAT(receipt.toStdString(), HasSubstr(line.toStdString()));
    EXPECT_THAT(receipt.toStdString(), Not(HasSubstr("holds exactly")));

    const QString saved = suggestedReceiptPath(image);
    EXPECT_EQ(saved, harness.scratchPath("disc burn receipt.txt"));
    EXPECT_TRUE(saveBurnReceipt(harness.journal().record(), saved, harness.alerts));
    EXPECT_FALSE(saveBurnReceipt(harness.journal().record(), harness.scratchPath("no/such.txt"),
                                 harness.alerts));
    ASSERT_EQ(harness.alerts.shown.size(), 1u);
    EXPECT_EQ(harness.alerts.shown.front().message, "The burn receipt was not saved");
}

// A CD-RW erased first, at the drive's maximum, which the drive tells only
// once it writes: 12x, and it reads at 20x. It erases at that speed too, and
// the whole job takes what the model says: 13 s erasing, 86 s writing, 13 s
// closing and 65 s verifying, 177 s. The time left is shown while erasing,
// from the erase's pace, and the taskbar makes one run across the phases.
TEST(BurnReportsTest, TimeLeftWhileErasingAndOneTaskbarRunForTheWholeJob) {
    AppHarness harness;
    harness.window().show();
    harness.listTwoBurners();
    harness.fake.setBurn(
        {fake::say("FACT: medium=cd-rw capacity=736970752 image-bytes=157286400\n"
                   "FACT: erase=fast\nPERCENT:-1\nPERCENT:-1\nPERCENT:0\n"),
         fake::await("e"), fake::say("PERCENT:48\n"), fake::await("w1"),
         fake::say("PERCENT:100\nPreparing data for burn\nFACT: write-kbps=2117 "
                   "read-kbps=3528\nWriting track\n"),
         fake::await("w2"), fake::say("PERCENT:50\nFACT: bytes-written=78643200\n"),
         fake::await("w3"),
         fake::say("PERCENT:100\nFACT: bytes-written=157286400\nClosing session\n"),
         fake::await("v1"), fake::say("Verifying burn\nPERCENT:0\nFACT: bytes-verified=0\n"),
         fake::await("v2"), fake::say("PERCENT:50\nFACT: bytes-verified=78643200\n"),
         fake::await("end"), fake::say("Burn completed successfully\n"), fake::hang()});
    harness.start();
    harness.window().setChoices({false, true, true, "max"});
    harness.controller().openFiles({harness.makeImage()});
    // Erasing, from indeterminate to its first figure, at second 0.
    ASSERT_TRUE(waitFor([&] {
        return harness.state() == BurnStateErasing && harness.ui().progressBar->maximum() > 0;
    }));
    BurnTimeline timeline(harness);
    timeline.at(6, "e", "about 3 minutes left");
    timeline.at(13, "w1", "12x, 1.8 MB/s – about 3 minutes left");
    timeline.at(56, "w2", "12x, 1.8 MB/s – about 2 minutes left");
    timeline.at(99, "w3", "12x, 1.8 MB/s – about 1 minute left");
    timeline.at(112, "v1", "20x, 3.1 MB/s – about 1 minute left");
    timeline.at(144, "v2", "20x, 3.1 MB/s – about 35 seconds left");
    timeline.at(177, "end", "hidden");

#ifndef Q_OS_MACOS
    std::vector<double> shares;
    for (const QString& shown : harness.taskbar.shown) {
        if (shown.endsWith(u'%'))
            shares.push_back(shown.chopped(1).toDouble());
    }
    ASSERT_FALSE(shares.empty());
    EXPECT_LT(shares.front(), 5);
    EXPECT_GT(shares.back(), 80);
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()))
        << harness.taskbar.shown.join(' ').toStdString();
    EXPECT_EQ(harness.taskbar.shown.back(), "hidden");
#endif
}

#ifndef Q_OS_MACOS
// A burn has one result, which the window, the receipt, the notification and
// the taskbar all read: a success text inside a failure's line (the image's
// name) is no success, nor is a success line from a tool that then fails.
TEST(BurnReportsTest, OneResultForTheWindowTheReceiptAndTheDesktop) {
    const QString named = "Burn completed successfully.iso";
    const struct {
        const char* name;
        QStringList transcript;
        QString status;
        bool succeeded;
    } cases[]{
        {"a failure that names the image",
         {fake::say("Preparing data for burn\nburn failed - “" + named.toUtf8() + "” is empty\n"),
          fake::exitWith(1)},
         "“" + named + "” is empty",
         false},
        {"success, then an exit status of failure",
         {fake::say("Preparing data for burn\nBurn completed successfully\n"), fake::exitWith(3)},
         "Burn failed - the disc-image tool ended with exit status 3 after it had reported success",
         false},
        {"success",
         {fake::say("Preparing data for burn\nBurn completed successfully\n")},
         "Burn completed successfully - ready to burn another disk image.",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness harness;
        harness.listTwoBurners();
        harness.fake.setBurn(c.transcript);
        harness.start();
        harness.controller().openFiles({harness.makeImage(named)});
        ASSERT_TRUE(waitFor([&] { return harness.journal().receiptReady(); }));
        EXPECT_EQ(harness.status(), c.status);
        EXPECT_THAT(composeBurnReceipt(harness.journal().record()).toStdString(),
                    HasSubstr(c.succeeded ? "Result: succeeded" : "Result: failed"));
        EXPECT_EQ(harness.notifications.shown.back(),
                  (c.succeeded ? "Burn completed: " : "Burn failed: ") + c.status);
        EXPECT_EQ(harness.taskbar.shown.back(), "hidden");
    }
}
#endif

// A named pipe given as the image: the tool refuses it, and nothing in the
// window waits on the pipe: the receipt follows at once, without the image's
// SHA-256, and a new burn and the app's end go ahead.
TEST(BurnReportsTest, APipeAsTheImageHoldsUpNothing) {
    AppHarness harness;
    const QString pipe = harness.scratchPath("disc.iso");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    harness.listTwoBurners();
    harness.fake.setBurn({fake::say("burn failed - the image is not a regular file\n")});
    harness.start();
    harness.controller().openFiles({pipe});
    const bool ready = waitFor([&] { return harness.journal().receiptReady(); });
    if (!ready) {
        // A reader waiting in open() goes on once a writer comes, so that the
        // failure ends the test instead of hanging it.
        ::close(::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK));
    }
    ASSERT_TRUE(ready);
    EXPECT_THAT(composeBurnReceipt(harness.journal().record()).toStdString(),
                HasSubstr("Image SHA-256: unknown"));
    harness.controller().burnAgain();
    EXPECT_TRUE(harness.waitForBurnCalls(2));
}

#ifndef Q_OS_MACOS
// The drive events' wiring is CopiesTest's, the notification's OneResult's.
TEST(DesktopWiringTest, HalfTheWriteOfAVerifiedJobIsAQuarterOnTheTaskbar) {
    AppHarness harness;
    harness.listTwoBurners();
    harness.fake.setBurn({fake::say("Preparing data for burn\nPERCENT:50\n"),
                          fake::say("burn failed - the laser tripped\n"), fake::hang()});
    harness.start();
    harness.controller().openFiles({harness.makeImage()});
    ASSERT_TRUE(waitFor([&] { return !harness.notifications.shown.isEmpty(); }));
    // Half the write of a job that verifies too, without facts: a quarter.
    EXPECT_EQ(harness.taskbar.shown.mid(harness.taskbar.shown.indexOf("25%")),
              QStringList({"25%", "hidden", "hidden"}));
}
#endif
