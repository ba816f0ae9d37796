#include "AppHarness.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

using namespace emberlin;

namespace {

using Alert = RecordingAlerts::Alert;

enum class Way {
    CloseButton,       // the window's close button
    QuitEvent,         // the platform asks the application to quit
    QuitAction,        // File > Quit and its shortcut
    ControllerRequest, // the controller's own request, after its fatal alert
    SessionWithUser,   // the session ends and the user may be asked
    SessionWithoutUser,
    TerminationSignal,
};

constexpr int quitAnyway = 0;
constexpr int cancel = 1;

struct QuitCase {
    const char* name;
    int state;
    Way way;
    int answer;
    bool asks;
    bool ends;
};

// Closing the last window also posts a quit of Qt's own; one left over would
// end the next test's loop.
void dropLeftoverQuits() {
    QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
}

// Runs the application's event loop around a request; true when the
// application ended its loop by itself. Otherwise `unchanged` runs as the
// loop's last step.
bool quitsAround(QuitGuard& guard, const std::function<void()>& request,
                 const std::function<void()>& unchanged) {
    QObject context; // drops whatever is still queued when this returns
    bool fellThrough = false;
    QTimer::singleShot(0, &context, [&] {
        request();
        // Queued behind anything the request deferred.
        QMetaObject::invokeMethod(
            &context,
            [&] {
                if (guard.isLeaving())
                    return; // the application's own quit ends the loop
                fellThrough = true;
                unchanged();
                QCoreApplication::exit(2);
            },
            Qt::QueuedConnection);
    });
    const int result = QCoreApplication::exec();
    dropLeftoverQuits();
    return result == 0 && !fellThrough;
}

class QuitGuardTest : public testing::TestWithParam<QuitCase> {};

TEST_P(QuitGuardTest, AsksFromErasingOnAndEndsOnlyWhenAllowed) {
    const QuitCase& c = GetParam();
    AppHarness harness;
    harness.start();
    harness.controller().setBurnState(c.state);
    harness.window().show();
    harness.alerts.answer = [&](const Alert&) {
        return c.answer;
    };
    QuitGuard& guard = harness.quitGuard();
    bool closeAccepted = false;
    bool sessionGoesOn = false;
    const auto request = [&] {
        switch (c.way) {
        case Way::CloseButton:
            closeAccepted = harness.window().close();
            break;
        case Way::QuitEvent: {
            QEvent quit(QEvent::Quit);
            QCoreApplication::sendEvent(qApp, &quit);
            break;
        }
        case Way::QuitAction:
            harness.window().findChild<QAction*>(QString("quitAction"))->trigger();
            break;
        case Way::ControllerRequest:
            emit harness.controller().terminationRequested();
            break;
        case Way::SessionWithUser:
        case Way::SessionWithoutUser:
            sessionGoesOn = !guard.sessionEnding(c.way == Way::SessionWithUser);
            break;
        case Way::TerminationSignal:
            guard.terminateWithoutAsking();
            break;
        }
    };
    bool untouched = false;
    const bool quit = quitsAround(guard, request, [&] {
        untouched = harness.state() == c.state && harness.window().isVisible() &&
                    !harness.store().contains(QString("Burn Speed"));
    });

    const Alert reallyQuit{QString("Really quit?"),
                           QString("There is currently a burn in progress.  Quitting now "
                                   "may make your disc unusable."),
                           {QString("Quit anyway"), QString("Cancel")}};
    EXPECT_EQ(harness.alerts.shown, c.asks ? std::vector<Alert>{reallyQuit} : std::vector<Alert>{});
    EXPECT_EQ(quit, c.ends);
    EXPECT_EQ(guard.isLeaving(), c.ends);
    if (c.ends) { // the termination routine ran: the options are saved
        EXPECT_EQ(harness.state(), BurnStateTerminating);
        EXPECT_TRUE(harness.store().contains(QString("Burn Speed")));
    } else {
        EXPECT_TRUE(untouched);
    }
    EXPECT_EQ(closeAccepted, c.way == Way::CloseButton && c.ends);
    EXPECT_EQ(sessionGoesOn,
              (c.way == Way::SessionWithUser || c.way == Way::SessionWithoutUser) && !c.ends);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(WaysOut, QuitGuardTest, testing::Values(
    QuitCase{"CloseButton", BurnStateBurning, Way::CloseButton, cancel, true, false},
    QuitCase{"QuitEvent", BurnStateBurning, Way::QuitEvent, cancel, true, false},
    QuitCase{"QuitAction", BurnStateBurning, Way::QuitAction, cancel, true, false},
    QuitCase{"ControllerRequest", BurnStateBurning, Way::ControllerRequest, cancel, true, false},
    QuitCase{"SessionWithUser", BurnStateBurning, Way::SessionWithUser, cancel, true, false},
    QuitCase{"SessionWithoutUser", BurnStateBurning, Way::SessionWithoutUser, cancel, false, true},
    QuitCase{"TerminationSignal", BurnStateBurning, Way::TerminationSignal, cancel, false, true},
    QuitCase{"WaitingForADisc", BurnStateAwaitingDisc, Way::QuitAction, cancel, false, true},
    QuitCase{"ErasingQuitAnyway", BurnStateErasing, Way::CloseButton, quitAnyway, true, true},
    QuitCase{"Terminating", BurnStateTerminating, Way::QuitEvent, cancel, true, false}),
    NamedCase());
// clang-format on

// A second request while the question is open does not ask again, and a
// termination signal meanwhile ends the application whatever the answer.
TEST(QuitGuardWhileAsking, ASignalDuringTheQuestionEndsTheApplication) {
    AppHarness harness;
    harness.start();
    harness.controller().setBurnState(BurnStateBurning);
    harness.window().show();
    QuitGuard& guard = harness.quitGuard();
    harness.alerts.answer = [&](const Alert&) {
        guard.requestQuit();
        guard.terminateWithoutAsking();
        return cancel;
    };
    bool closeAccepted = false;
    EXPECT_TRUE(quitsAround(
        guard, [&] { closeAccepted = harness.window().close(); }, [] {}));
    EXPECT_EQ(harness.alerts.shown.size(), 1u);
    EXPECT_TRUE(closeAccepted);
    EXPECT_TRUE(harness.store().contains(QString("Burn Speed")));
}

} // namespace
