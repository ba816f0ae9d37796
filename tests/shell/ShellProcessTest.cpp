#include "ScratchApp.h"
#include "TestSupport.h"

#include <QDir>
#include <QSettings>
#include <csignal>

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
