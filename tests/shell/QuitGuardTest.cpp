#include "QuitGuard.h"

#include "EmberlinController.h"
#include "FakeToolScript.h"
#include "PtyOpener.h"
#include "QStringPrinter.h"
#include "ShellTestDoubles.h"
#include "WindowOutlets.h"

#include <QApplication>
#include <QMainWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace FakeDirective;

enum class Way {
    CloseButton,       // the window's close button
    QuitEvent,         // the platform asks the application to quit
    QuitAction,        // the Quit action and its shortcut
    ControllerRequest, // the controller's own request, after its fatal alert
    SessionWithUser,   // the session ends and the user may be asked
    SessionWithoutUser,
    TerminationSignal,
};

const char* nameOf(Way way) {
    switch (way) {
    case Way::CloseButton:
        return "CloseButton";
    case Way::QuitEvent:
        return "QuitEvent";
    case Way::QuitAction:
        return "QuitAction";
    case Way::ControllerRequest:
        return "ControllerRequest";
    case Way::SessionWithUser:
        return "SessionWithUser";
    case Way::SessionWithoutUser:
        return "SessionWithoutUser";
    case Way::TerminationSignal:
        return "TerminationSignal";
    }
    return "";
}

bool mayAsk(Way way) {
    return way != Way::SessionWithoutUser && way != Way::TerminationSignal;
}

constexpr int quitAnyway = 0;
constexpr int cancel = 1;

struct QuitCase {
    int state;
    Way way;
    int answer;
};

// Closing the last window also posts a quit of Qt's own; one left over would
// end the next test's loop.
void dropLeftoverQuits() {
    QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
}

// The real window and controller with scripted alerts, at a given burn state.
class QuitGuardTest : public ::testing::TestWithParam<QuitCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(settingsFolder_.isValid());
        script_.setListing({line(QStringLiteral("Alpha Writer via USB")),
                            line(QStringLiteral("IOService:/alpha"))});
        settings_ = std::make_unique<QSettings>(settingsFolder_.filePath(QStringLiteral("s.conf")),
                                                QSettings::IniFormat);
        alerts_ = std::make_unique<ScriptedAlerts>(GetParam().answer);
        window_ = std::make_unique<QMainWindow>();
        const auto outlets = buildWindowOutlets(*window_);
        controller_ = std::make_unique<EmberlinController>(
            outlets, EmberlinController::Services{*alerts_, sounds_, *settings_, ptyOpener_,
                                                  FakeToolScript::toolPath()});
        guard_ = std::make_unique<QuitGuard>(*controller_, *window_);
        controller_->awakeFromNib();
        ASSERT_EQ(controller_->state().burnState, BurnStateReady);
        controller_->setBurnState(GetParam().state);
        window_->show();
    }

    void TearDown() override {
        guard_.reset();
        controller_.reset();
        window_.reset();
    }

    // Runs the event loop around one request. True when the application ends
    // its loop by itself; when the guard lets it go on, `unchanged` runs as the
    // loop's last step instead.
    bool quitsAround(const std::function<void()>& request, const std::function<void()>& unchanged) {
        QObject context; // drops whatever is still queued when this returns
        bool fellThrough = false;
        QTimer::singleShot(0, &context, [&] {
            request();
            // Queued behind anything the request deferred.
            QMetaObject::invokeMethod(
                &context,
                [&] {
                    if (guard_->isLeaving())
                        return; // the application's own quit ends the loop
                    fellThrough = true;
                    unchanged();
                    QCoreApplication::exit(2);
                },
                Qt::QueuedConnection);
        });
        QTimer watchdog;
        QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(3); });
        watchdog.start(60000);
        const int result = QCoreApplication::exec();
        dropLeftoverQuits();
        return result == 0 && !fellThrough;
    }

    void request(Way way) {
        switch (way) {
        case Way::CloseButton:
            closeAccepted_ = window_->close();
            break;
        case Way::QuitEvent: {
            QEvent quit(QEvent::Quit);
            QCoreApplication::sendEvent(qApp, &quit);
            break;
        }
        case Way::QuitAction:
            guard_->requestQuit();
            break;
        case Way::ControllerRequest:
            emit controller_->terminationRequested();
            break;
        case Way::SessionWithUser:
            sessionGoesOn_ = !guard_->sessionEnding(true);
            break;
        case Way::SessionWithoutUser:
            sessionGoesOn_ = !guard_->sessionEnding(false);
            break;
        case Way::TerminationSignal:
            guard_->terminateWithoutAsking();
            break;
        }
    }

    FakeToolScript script_;
    QTemporaryDir settingsFolder_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<ScriptedAlerts> alerts_;
    SilentSounds sounds_;
    SystemPtyOpener ptyOpener_;
    std::unique_ptr<QMainWindow> window_;
    std::unique_ptr<EmberlinController> controller_;
    std::unique_ptr<QuitGuard> guard_;
    bool closeAccepted_ = false;
    bool sessionGoesOn_ = false;
};

TEST_P(QuitGuardTest, AsksFromErasingOnAndEndsOnlyWhenAllowed) {
    const auto [state, way, answer] = GetParam();
    const bool asks = mayAsk(way) && state >= BurnStateErasing;
    const bool ends = !asks || answer == quitAnyway;

    bool stillRunning = false;
    const bool quit = quitsAround([&] { request(way); },
                                  [&] {
                                      stillRunning =
                                          !controller_->state().terminating &&
                                          controller_->state().burnState == state &&
                                          window_->isVisible() &&
                                          !settings_->contains(QStringLiteral("Burn Speed"));
                                  });

    EXPECT_EQ(alerts_->shown.size(), asks ? 1u : 0u);
    if (asks) {
        EXPECT_EQ(alerts_->shown.front().message, QStringLiteral("Really quit?"));
    }
    EXPECT_EQ(quit, ends);
    EXPECT_EQ(guard_->isLeaving(), ends);
    if (ends) {
        // The termination routine ran: the options are saved.
        EXPECT_TRUE(controller_->state().terminating);
        EXPECT_EQ(controller_->state().burnState, BurnStateTerminating);
        for (const char* key :
             {"Leave Appendable", "Verify Burns", "Erase If Possible", "Burn Speed"})
            EXPECT_TRUE(settings_->contains(QString::fromLatin1(key))) << key;
    } else {
        // Untouched and nothing saved (ending the test's loop saves later).
        EXPECT_TRUE(stillRunning);
    }
    if (way == Way::CloseButton) {
        EXPECT_EQ(closeAccepted_, ends);
    }
    if (way == Way::SessionWithUser || way == Way::SessionWithoutUser) {
        EXPECT_EQ(sessionGoesOn_, !ends);
    }
}

std::vector<QuitCase> allCases() {
    std::vector<QuitCase> cases;
    for (int state = BurnStateListing; state <= BurnStateTerminating; ++state) {
        for (Way way : {Way::CloseButton, Way::QuitEvent, Way::QuitAction, Way::ControllerRequest,
                        Way::SessionWithUser, Way::SessionWithoutUser, Way::TerminationSignal}) {
            cases.push_back({state, way, quitAnyway});
            if (mayAsk(way) && state >= BurnStateErasing)
                cases.push_back({state, way, cancel});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(StatesAndWays, QuitGuardTest, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<QuitCase>& info) {
                             return "State" + std::to_string(info.param.state) +
                                    nameOf(info.param.way) +
                                    (info.param.answer == quitAnyway ? "QuitAnyway" : "Cancel");
                         });

// A second request while the question is open does not ask again, and a
// termination signal meanwhile ends the application whatever the answer.
TEST(QuitGuardWhileAsking, ASignalDuringTheQuestionEndsTheApplication) {
    FakeToolScript script;
    script.setListing(
        {line(QStringLiteral("Alpha Writer via USB")), line(QStringLiteral("IOService:/alpha"))});
    QTemporaryDir folder;
    QSettings settings(folder.filePath(QStringLiteral("s.conf")), QSettings::IniFormat);
    SilentSounds sounds;
    SystemPtyOpener ptyOpener;
    QMainWindow window;
    const auto outlets = buildWindowOutlets(window);

    // Answers "Cancel", after a second request and a signal came in meanwhile.
    class InterruptedAlerts final : public Alerts {
    public:
        int runCritical(const QString&, const QString&, const QStringList&) override {
            ++asked;
            if (asked == 1) {
                guard->requestQuit();
                guard->terminateWithoutAsking();
            }
            return cancel;
        }
        QuitGuard* guard = nullptr;
        int asked = 0;
    } alerts;

    EmberlinController controller(
        outlets, {alerts, sounds, settings, ptyOpener, FakeToolScript::toolPath()});
    QuitGuard guard(controller, window);
    alerts.guard = &guard;
    controller.awakeFromNib();
    controller.setBurnState(BurnStateBurning);
    window.show();

    QObject context;
    bool closeAccepted = false;
    QTimer::singleShot(0, &context, [&] { closeAccepted = window.close(); });
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    watchdog.start(60000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    dropLeftoverQuits();
    EXPECT_EQ(alerts.asked, 1);
    EXPECT_TRUE(closeAccepted);
    EXPECT_TRUE(controller.state().terminating);
    EXPECT_TRUE(settings.contains(QStringLiteral("Burn Speed")));
}

} // namespace
