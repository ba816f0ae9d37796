#pragma once

#include "EmberlinController.h"
#include "MainWindow.h"
#include "PtyOpener.h"
#include "QuitGuard.h"

#include <QString>
#include <chrono>
#include <memory>

class QSettings;

namespace emberlin {

class Alerts;
class Sounds;

// The running application, put together: the main window, the controller with
// its seams, the window's actions wired to it, and the quit guard that every
// way out passes. main, the benchmarks, the screenshot tool and the tests all
// build it here. The controller's start-up (awakeFromNib) is the caller's.
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
    };

    AppAssembly(QSettings& settings, const Options& options);
    ~AppAssembly();

    MainWindow& window() { return window_; }
    EmberlinController& controller() { return *controller_; }
    QuitGuard& quitGuard() { return *quitGuard_; }

private:
    MainWindow window_;
    std::unique_ptr<Alerts> ownAlerts_;
    std::unique_ptr<Sounds> ownSounds_;
    SystemPtyOpener systemPtyOpener_;
    std::unique_ptr<EmberlinController> controller_;
    std::unique_ptr<QuitGuard> quitGuard_;
};

} // namespace emberlin
