#include "desktop/BurnDesktopFeedback.h"
#include "desktop/FreedesktopNotifications.h"
#include "desktop/LauncherEntryProgress.h"
#include "tests/desktop/PrivateSessionBus.h"
#include "tests/desktop/RecordingDesktop.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <cmath>
#include <gmock/gmock.h>

using namespace emberlin;
using testing::Contains;
using testing::ElementsAre;

namespace {

const auto applicationId = QStringLiteral("org.emberlin.Emberlin");
const auto failedStatus = QStringLiteral("The selected burner became unavailable.");
const auto completedStatus =
    QStringLiteral("Burn completed successfully - ready to burn another disk image.");

bool activate(QWidget& window) {
    window.activateWindow();
    return waitFor([&] { return window.isActiveWindow(); });
}

// "42%" while shown, "hidden" after.
QString shown(const RecordingDesktop::LauncherUpdate& update) {
    if (update.applicationUri != QStringLiteral("application://org.emberlin.Emberlin.desktop"))
        return update.applicationUri;
    if (!update.properties.value(QStringLiteral("progress-visible")).toBool())
        return QStringLiteral("hidden");
    return QStringLiteral("%1%").arg(
        update.properties.value(QStringLiteral("progress")).toDouble() * 100);
}

class DesktopFeedbackTest : public testing::Test {
protected:
    void SetUp() override {
        window.show();
        elsewhere.show();
        ASSERT_TRUE(activate(elsewhere));
    }

    PrivateSessionBus bus;
    // The desktop is on the bus before the app, as a session's is.
    RecordingDesktop desktop{bus.connect(QStringLiteral("desktop"))};
    QDBusConnection appBus = bus.connect(QStringLiteral("app"));
    QMainWindow window;
    QWidget elsewhere;
    FreedesktopNotifications notifications{appBus, QStringLiteral("Emberlin"), applicationId};
    LauncherEntryProgress taskbar{appBus, applicationId};
    BurnDesktopFeedback feedback{window, notifications, taskbar};
};

} // namespace

TEST_F(DesktopFeedbackTest, AnEndWhileTheUserIsElsewhereIsNotifiedAndAClickBringsTheWindowBack) {
    int clicks = 0;
    QObject::connect(&notifications, &DesktopNotifications::clicked, [&] { ++clicks; });
    // Another window sharing the notifications, as the copies window does.
    QWidget copies;
    BurnDesktopFeedback copiesFeedback{copies, notifications, taskbar};
    feedback.burnEnded(false, failedStatus);
    ASSERT_TRUE(waitFor([&] { return desktop.notifications.size() == 1; }));
    const RecordingDesktop::Notification failed = desktop.notifications.at(0);
    EXPECT_EQ(failed.applicationName, QStringLiteral("Emberlin"));
    EXPECT_EQ(failed.icon, applicationId);
    EXPECT_EQ(failed.summary, QStringLiteral("Burn failed"));
    EXPECT_EQ(failed.body, failedStatus);
    EXPECT_EQ(failed.replacesId, 0u);
    EXPECT_THAT(failed.actions, Contains(QStringLiteral("default")));
    EXPECT_EQ(failed.hints.value(QStringLiteral("desktop-entry")).toString(), applicationId);

    window.showMinimized();
    // Another app's notification, and another action of ours, are not clicks.
    desktop.click(7, QStringLiteral("default"));
    desktop.click(41, QStringLiteral("other"));
    desktop.click(41, QStringLiteral("default"));
    ASSERT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(copies.isHidden());
    EXPECT_EQ(clicks, 1);

    ASSERT_TRUE(activate(elsewhere));
    feedback.burnEnded(true, completedStatus);
    ASSERT_TRUE(waitFor([&] { return desktop.notifications.size() == 2; }));
    const RecordingDesktop::Notification completed = desktop.notifications.at(1);
    EXPECT_EQ(completed.summary, QStringLiteral("Burn completed"));
    EXPECT_EQ(completed.body, completedStatus);
    EXPECT_EQ(completed.replacesId, 41u);
}

TEST_F(DesktopFeedbackTest, EachWaitForADiscIsNotifiedOnceAndWithdrawnWhenItEnds) {
    const QString refused =
        QStringLiteral("Media is not writable - please insert a writable disc...");
    const auto notified = [&](qsizetype count) {
        return waitFor([&] { return desktop.notifications.size() == count; });
    };
    feedback.burnStarted("/images/disc.iso", "Virtual Writer ");
    // The disc arrives before the desktop has answered.
    feedback.burnStateChanged(BurnStateAwaitingDiscToErase);
    feedback.burnStateChanged(BurnStateErasing);
    ASSERT_TRUE(notified(1));
    // Cancelled; a disc refused meanwhile leaves the window waiting.
    feedback.burnStateChanged(BurnStateReady);
    feedback.burnStateChanged(BurnStateAwaitingDisc);
    ASSERT_TRUE(notified(2));
    // Each disc refused is a wait of its own.
    feedback.discRefused(refused);
    feedback.burnStateChanged(BurnStateAwaitingDisc);
    ASSERT_TRUE(notified(3));
    feedback.burnStateChanged(BurnStateReady);
    // The burn ends while it waits.
    feedback.burnStateChanged(BurnStateAwaitingDisc);
    ASSERT_TRUE(notified(4));
    feedback.burnEnded(false, failedStatus);
    feedback.burnStateChanged(BurnStateReady);
    // Nothing while the user looks at the window; messages of one connection
    // arrive in order, so one sent here would come before the last.
    ASSERT_TRUE(activate(window));
    feedback.burnStateChanged(BurnStateAwaitingDisc);
    feedback.discRefused(refused);
    feedback.burnStateChanged(BurnStateBurning);
    feedback.burnEnded(false, failedStatus);
    ASSERT_TRUE(activate(elsewhere));
    feedback.burnEnded(true, completedStatus);

    ASSERT_TRUE(notified(6));
    QStringList summaries;
    for (const RecordingDesktop::Notification& shown : desktop.notifications)
        summaries.append(shown.summary);
    EXPECT_THAT(summaries, ElementsAre("Insert a disc", "Insert a disc", "Insert a disc",
                                       "Insert a disc", "Burn failed", "Burn completed"));
    const QString request =
        QStringLiteral("Please insert a writable disc into “Virtual Writer” to burn “disc.iso”.");
    EXPECT_EQ(desktop.notifications.at(0).body, request);
    EXPECT_EQ(desktop.notifications.at(2).body, refused + '\n' + request);
    EXPECT_EQ(desktop.notifications.at(3).body, request);
    EXPECT_TRUE(waitFor([&] { return desktop.closed.size() >= 3; }));
    EXPECT_TRUE(waitFor([&] { return desktop.closed.size() >= 4; }));
    EXPECT_THAT(desktop.closed, ElementsAre(41u, 42u, 43u, 44u));
}

// Copies: each burner's wait names that burner and its refusal, and only
// that burner's end of waiting withdraws its request, not the main window's.
TEST_F(DesktopFeedbackTest, EachCopysWaitIsNotifiedAndWithdrawnByItsOwnBurner) {
    const QString refused = QStringLiteral("Media is not writable");
    QWidget mainWindow;
    BurnDesktopFeedback mainFeedback{mainWindow, notifications, taskbar};
    mainFeedback.burnStarted("/images/main.iso", "Main Writer");
    mainFeedback.burnStateChanged(BurnStateAwaitingDisc);
    feedback.burnStarted("/images/disc.iso", QString());
    feedback.burnStateChanged(BurnStateBurning);
    feedback.burnerStateChanged("/dev/sr0", "Twin Writer", BurnStateAwaitingDisc);
    feedback.discRefusedBy("/dev/sr1", refused);
    feedback.burnerStateChanged("/dev/sr1", "Twin Writer", BurnStateAwaitingDiscToErase);
    // Once the app knows the second request as its own, a withdrawal goes at once.
    int clicks = 0;
    QObject::connect(&notifications, &DesktopNotifications::clicked, [&] { ++clicks; });
    ASSERT_TRUE(waitFor([&] { return desktop.click(43, "default"), clicks > 0; }));
    feedback.burnerStateChanged("/dev/sr0", "Twin Writer", BurnStateBurning);
    mainFeedback.burnStateChanged(BurnStateErasing);
    // One connection's messages arrive in order: any withdrawal before this.
    feedback.jobProgressed(0.5);
    ASSERT_TRUE(waitFor([&] {
        return !desktop.launcherUpdates.isEmpty() && shown(desktop.launcherUpdates.back()) == "50%";
    }));
    EXPECT_THAT(desktop.closed, ElementsAre(41u, 42u));
    feedback.burnerStateChanged("/dev/sr1", "Twin Writer", BurnStateErasing);
    ASSERT_TRUE(waitFor([&] { return desktop.closed == QList<uint>{41, 42, 43}; }));
    const QString request = "Please insert a writable disc into “Twin Writer” to burn “disc.iso”.";
    EXPECT_EQ(desktop.notifications.at(1).body, request);
    EXPECT_EQ(desktop.notifications.at(2).body, refused + '\n' + request);
}

TEST_F(DesktopFeedbackTest, TheTaskbarShowsProgressWhileWritingAndIsClearedAtTheEnd) {
    feedback.burnStateChanged(BurnStateReady);
    feedback.jobProgressed(0.3); // outside a burn's writing states
    feedback.burnStateChanged(BurnStateErasing);
    feedback.jobProgressed(0.25);
    feedback.jobProgressed(0.251);
    feedback.burnStateChanged(BurnStateBurning);
    feedback.jobProgressed(0.5);
    feedback.burnEnded(false, failedStatus); // a lost burner leaves the state as it is
    feedback.jobProgressed(0.5);
    feedback.burnStateChanged(BurnStateReady);
    feedback.burnStateChanged(BurnStateListing);
    feedback.burnStateChanged(BurnStateVerifying);
    feedback.jobProgressed(std::nan(""));
    feedback.burnStateChanged(BurnStateTerminating);

    ASSERT_TRUE(waitFor([&] { return desktop.launcherUpdates.size() >= 7; }));
    QStringList seen;
    for (const RecordingDesktop::LauncherUpdate& update : desktop.launcherUpdates)
        seen.append(shown(update));
    EXPECT_THAT(seen, ElementsAre("25%", "50%", "hidden", "50%", "hidden", "0%", "hidden"));
}

TEST(DesktopFeedbackWithoutBusTest, NothingIsSentAndNothingIsPrinted) {
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { messages.append(text); });
    {
        const QDBusConnection noBus = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("no bus"));
        QWidget window;
        FreedesktopNotifications notifications(noBus, QStringLiteral("Emberlin"), applicationId);
        LauncherEntryProgress taskbar(noBus, applicationId);
        BurnDesktopFeedback feedback(window, notifications, taskbar);
        feedback.burnStateChanged(BurnStateBurning);
        feedback.jobProgressed(0.5);
        feedback.burnEnded(false, failedStatus);
        QCoreApplication::processEvents();
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("no bus"));
    qInstallMessageHandler(previous);
    EXPECT_THAT(messages, testing::IsEmpty());
}
