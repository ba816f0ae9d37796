#include "tests/app/AppHarness.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <optional>

using namespace emberlin;

namespace {

using Alert = RecordingAlerts::Alert;

// A way out; what it answers where it answers at all (a close accepted, a
// session's end let go).
using Way = std::optional<bool> (*)(AppHarness&);
std::optional<bool> closeButton(AppHarness& app) {
    return app.window().close();
}
std::optional<bool> quitEvent(AppHarness&) { // the platform asks the application to quit
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(qApp, &quit);
    return {};
}
std::optional<bool> quitAction(AppHarness& app) { // File > Quit and its shortcut
    app.window().findChild<QAction*>("quitAction")->trigger();
    return {};
}
std::optional<bool> controllerRequest(AppHarness& app) { // after the fatal pty alert
    emit app.controller().terminationRequested();
    return {};
}
std::optional<bool> sessionWithUser(AppHarness& app) {
    return app.quitGuard().sessionEnding(true);
}
std::optional<bool> sessionWithoutUser(AppHarness& app) {
    return app.quitGuard().sessionEnding(false);
}
std::optional<bool> terminationSignal(AppHarness& app) {
    app.quitGuard().terminateWithoutAsking();
    return {};
}

constexpr int quitAnyway = 0;
constexpr int cancel = 1;

struct QuitCase {
    const char* name;
    BurnState state;
    Way way;
    int answer;
    bool asks;
    bool ends;
};

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
    // Closing the last window also posts a quit of Qt's own; one left over
    // would end the next test's loop.
    QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
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
    std::optional<bool> answered;
    const auto request = [&] {
        answered = c.way(harness);
    };
    bool untouched = false;
    const bool quit = quitsAround(guard, request, [&] {
        untouched = harness.state() == c.state && harness.window().isVisible() &&
                    !harness.store().contains("Burn Speed");
    });

    const Alert reallyQuit{"Really quit?",
                           QString("There is currently a burn in progress.  Quitting now "
                                   "may make your disc unusable."),
                           {"Quit anyway", "Cancel"},
                           cancel}; // Return must not quit
    EXPECT_EQ(harness.alerts.shown, c.asks ? std::vector<Alert>{reallyQuit} : std::vector<Alert>{});
    EXPECT_EQ(quit, c.ends);
    EXPECT_EQ(guard.isLeaving(), c.ends);
    if (c.ends) { // the termination routine ran: the options are saved
        EXPECT_EQ(harness.state(), BurnStateTerminating);
        EXPECT_TRUE(harness.store().contains("Burn Speed"));
    } else {
        EXPECT_TRUE(untouched);
    }
    EXPECT_EQ(answered.value_or(c.ends), c.ends);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(WaysOut, QuitGuardTest, testing::Values(
    QuitCase{"CloseButton", BurnStateBurning, closeButton, cancel, true, false},
    QuitCase{"QuitEvent", BurnStateBurning, quitEvent, cancel, true, false},
    QuitCase{"QuitAction", BurnStateBurning, quitAction, cancel, true, false},
    QuitCase{"ControllerRequest", BurnStateBurning, controllerRequest, cancel, true, false},
    QuitCase{"SessionWithUser", BurnStateBurning, sessionWithUser, cancel, true, false},
    QuitCase{"SessionWithoutUser", BurnStateBurning, sessionWithoutUser, cancel, false, true},
    QuitCase{"TerminationSignal", BurnStateBurning, terminationSignal, cancel, false, true},
    QuitCase{"WaitingForADisc", BurnStateAwaitingDisc, quitAction, cancel, false, true},
    QuitCase{"WaitingForADiscToErase", BurnStateAwaitingDiscToErase, quitAction, cancel, false, true},
    QuitCase{"ErasingQuitAnyway", BurnStateErasing, closeButton, quitAnyway, true, true},
    QuitCase{"Terminating", BurnStateTerminating, quitEvent, cancel, true, false}),
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
    EXPECT_TRUE(harness.store().contains("Burn Speed"));
}

} // namespace
