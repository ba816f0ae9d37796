#include "app/shell/SingleInstance.h"
#include "tests/shell/ScratchApp.h"
#include "tests/support/OtherUser.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <csignal>
#include <gmock/gmock.h>
#include <pwd.h>
#include <unistd.h>

using emberlin::SingleInstance;

namespace {

const QString twoBurners = fake::say("Alpha Writer DVD-RW via USB\n  IOService:/alpha\n"
                                     "Beta Burner BD-RE via SATA\n  IOService:/beta\n");
// A burn under way that would last for ever.
const QStringList hangingBurn{fake::say("Preparing data for burn\nPERCENT: 12.5\n"), fake::hang()};

bool terminate(QProcess& process, int signalNumber = SIGTERM) {
    return ::kill(static_cast<pid_t>(process.processId()), signalNumber) == 0;
}

// The running window answers while it lists its burners; the file handed over
// waits for the listing and is burned.
TEST(SecondLaunch, DuringTheListingHandsItsFileOverToBeBurnedOnceTheBurnersAreKnown) {
    ScratchApp app;
    app.tool().setListing({fake::await("listed"), twoBurners});
    app.tool().setBurn(hangingBurn);
    QProcess& first = app.launch({}, QDir::rootPath()); // its own working folder
    ASSERT_TRUE(app.waitForCalls(1));
    const QString image = app.createImage("my disc.iso");

    EXPECT_EQ(app.launchToEnd({"my disc.iso"}), 0);
    EXPECT_EQ(app.tool().calls().size(), 1u) << "the second launch lists no burners";
    app.tool().release("listed");
    ASSERT_TRUE(app.waitForCalls(2));
    EXPECT_EQ(app.tool().calls()[1].value(1), image);
    ASSERT_TRUE(terminate(first));
    EXPECT_TRUE(endsCleanly(first));
    EXPECT_EQ(app.tool().calls().size(), 2u);
}

// Another user of the machine got first to every name a launch could look
// for: the socket's name in the temporary folder, a runtime folder of the
// other's that the user's environment names by mistake, and the one Qt falls
// back on there. The app trusts none of them: it opens its window and burns
// alone, says so, and the other user learns no path.
TEST(SecondLaunch, NamesAnotherUserTookFirstAreIgnoredAndTheAppRunsAlone) {
    const QString unavailable = otheruser::unavailableBecause();
    if (!unavailable.isEmpty())
        GTEST_SKIP() << unavailable.toStdString();
    ScratchApp app;
    app.tool().setListing({twoBurners});
    app.tool().setBurn(hangingBurn);
    QTemporaryDir scratch;
    const QDir shared(otheruser::makeSharedFolder(scratch.path(), "tmp"));
    const QString squatter = shared.filePath("squatter");
    ASSERT_TRUE(QFile::copy(EMBERLIN_SOCKET_SQUATTER, squatter));
    ASSERT_TRUE(QFile::setPermissions(squatter, QFile::permissions(squatter) | QFile::ExeOther));
    const QString name = SingleInstance::serverName(app.settingsFile());
    const QString log = shared.filePath("received");
    QProcess other;
    const QStringList squat = otheruser::commandAs(
        {squatter, log, shared.filePath(name), shared.filePath("others-runtime/" + name),
         shared.filePath(QString("runtime-%1/").arg(::getpwuid(::geteuid())->pw_name) + name)});
    other.start(squat.first(), squat.mid(1));
    ASSERT_TRUE(other.waitForReadyRead(60000)) << other.readAllStandardError().toStdString();
    ASSERT_EQ(other.readLine(), "ready\n");

    const QString image = app.createImage("disc.iso");
    QProcess& running = app.launch({image}, {}, [&](QProcess& process) {
        QProcessEnvironment environment = process.processEnvironment();
        environment.insert("TMPDIR", shared.path());
        environment.insert("XDG_RUNTIME_DIR", shared.filePath("others-runtime"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    });
    EXPECT_TRUE(waitFor(
        [&] { return app.tool().calls().size() == 2 || running.state() == QProcess::NotRunning; }));
    ASSERT_EQ(app.tool().calls().size(), 2u) << "the app handed its file to the other user";
    EXPECT_EQ(app.tool().calls()[1].value(1), image);
    ASSERT_TRUE(terminate(running));
    EXPECT_TRUE(endsCleanly(running));
    EXPECT_THAT(running.readAllStandardError().toStdString(),
                testing::HasSubstr("Emberlin: no folder is private to this user"));
    EXPECT_FALSE(QFile::exists(log));
    other.kill();
    other.waitForFinished();
}

class TerminationSignal : public testing::TestWithParam<int> {};

// Nobody is there to answer "Really quit?": the burn is stopped, the options
// are saved and the app ends normally.
TEST_P(TerminationSignal, TakesTheNormalWayOutDuringABurn) {
    ScratchApp app;
    app.tool().setListing({twoBurners});
    app.tool().setBurn(hangingBurn);
    const QString image = app.createImage("disc.toast");
    QProcess& running = app.launch({"disc.toast"});
    ASSERT_TRUE(app.waitForCalls(2));
    EXPECT_EQ(app.tool().calls()[1].value(1), image);

    ASSERT_TRUE(terminate(running, GetParam()));
    EXPECT_TRUE(endsCleanly(running));
    QSettings settings(app.settingsFile(), QSettings::IniFormat);
    for (const char* key : {"Leave Appendable", "Verify Burns", "Erase If Possible", "Burn Speed"})
        EXPECT_TRUE(settings.contains(QString::fromLatin1(key))) << key;
    // Stopping sends SIGTERM and closes the terminal, which hangs it up.
    std::vector<int> received;
    EXPECT_TRUE(waitFor([&] {
        received = app.tool().signalsReceived();
        return !received.empty();
    })) << "the burning tool is stopped";
    EXPECT_TRUE(received.front() == SIGTERM || received.front() == SIGHUP)
        << testing::PrintToString(received);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignal, testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
