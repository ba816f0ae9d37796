#pragma once

#include "app/burn/BurnerClaims.h"
#include "app/burn/CopyBurnController.h"
#include "app/burn/DiscRefusalNote.h"
#include "app/burn/EmberlinController.h"
#include "app/burn/JobProgressLine.h"
#include "app/records/BurnClock.h"
#include "app/records/BurnJournal.h"
#include "app/shell/QuitGuard.h"
#include "process/PtyOpener.h"
#include "views/CopiesWindow.h"
#include "views/MainWindow.h"

#include <QString>
#include <chrono>
#include <memory>

#ifndef Q_OS_MACOS
#include "desktop/BurnDesktopFeedback.h"
#include "desktop/BurnerListRefresher.h"
#include "desktop/DesktopNotifications.h"
#include "desktop/OpticalDriveEvents.h"
#include "desktop/TaskbarProgress.h"
#endif

class QSettings;

namespace emberlin {

class Alerts;
class Sounds;

// The running application, put together: the main window, the controller with
// its seams, the window's actions wired to it, the copies window and its
// controller, and the quit guard that every way out passes. main, the benchmarks, the screenshot
// tool and the tests all build it here. The controller's start-up (awakeFromNib) is the caller's.
class AppAssembly final {
public:
    struct Options {
        QString toolPath;
        // The real ones (message boxes, the platform's sounds, the system's
        // pseudo-terminals) unless these are given.
        Alerts* alerts = nullptr;
        Sounds* sounds = nullptr;
        PtyOpener* ptyOpener = nullptr;
        std::chrono::milliseconds listingTimeLimit = std::chrono::seconds(60);
        std::chrono::milliseconds rescanDelay = std::chrono::milliseconds(100);
        // The time of day, for the burn receipt. In UTC: local time looks up
        // the time zone on every call.
        BurnClock clock = &QDateTime::currentDateTimeUtc;
        // The time left runs on a clock that setting the time of day leaves alone.
        SteadyClock steadyClock = &std::chrono::steady_clock::now;
#ifndef Q_OS_MACOS
        // udev's drive events, and the session bus's notifications and
        // taskbar entry, unless these are given.
        OpticalDriveEvents* driveEvents = nullptr;
        DesktopNotifications* notifications = nullptr;
        TaskbarProgress* taskbar = nullptr;
        std::chrono::milliseconds driveSettleTime = BurnerListRefresher::defaultSettleTime;
#endif
    };

    // Names the desktop entry, the icon and the app on the session bus.
    static inline const QString applicationId = QStringLiteral("org.emberlin.Emberlin");

    AppAssembly(QSettings& settings, const Options& options);
    ~AppAssembly();

    MainWindow& window() {
        return window_;
    }
    EmberlinController& controller() {
        return *controller_;
    }
    QuitGuard& quitGuard() {
        return *quitGuard_;
    }
    BurnJournal& burnJournal() {
        return *burnJournal_;
    }
    CopiesWindow& copiesWindow() {
        return *copiesWindow_;
    }
    CopyBurnController& copyBurnController() {
        return *copyBurnController_;
    }
#ifndef Q_OS_MACOS
    BurnDesktopFeedback& desktopFeedback() {
        return *desktopFeedback_;
    }
#endif

private:
    void connectBurnReports(const Options& options, Alerts& alerts);
    void connectCopies(QSettings& settings, const Options& options, Alerts& alerts, Sounds& sounds,
                       PtyOpener& ptyOpener);

    MainWindow window_;
    std::unique_ptr<Alerts> ownAlerts_;
    std::unique_ptr<Sounds> ownSounds_;
    SystemPtyOpener systemPtyOpener_;
    // Before the controllers, whose burns hold burners in it to the end.
    BurnerClaims burnerClaims_;
    std::unique_ptr<EmberlinController> controller_;
    std::unique_ptr<QuitGuard> quitGuard_;
    std::unique_ptr<JobProgressLine> jobProgressLine_;
    std::unique_ptr<DiscRefusalNote> discRefusalNote_;
    std::unique_ptr<BurnJournal> burnJournal_;
    std::unique_ptr<CopiesWindow> copiesWindow_;
    std::unique_ptr<CopyBurnController> copyBurnController_;
#ifndef Q_OS_MACOS
    void connectDesktop(const Options& options);

    std::unique_ptr<OpticalDriveEvents> ownDriveEvents_;
    std::unique_ptr<DesktopNotifications> ownNotifications_;
    std::unique_ptr<TaskbarProgress> ownTaskbar_;
    std::unique_ptr<BurnerListRefresher> burnerListRefresher_;
    std::unique_ptr<BurnDesktopFeedback> desktopFeedback_;
    std::unique_ptr<BurnDesktopFeedback> copiesDesktopFeedback_;
#endif
};

} // namespace emberlin
