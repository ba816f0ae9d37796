#include "AppAssembly.h"

#include "MessageBoxAlerts.h"

#ifdef Q_OS_MACOS
#include "MacSystemSounds.h"
#else
#include "CanberraSounds.h"
#endif

namespace emberlin {

namespace {
#ifdef Q_OS_MACOS
using PlatformSounds = MacSystemSounds;
#else
using PlatformSounds = CanberraSounds;
#endif
} // namespace

AppAssembly::AppAssembly(QSettings& settings, const Options& options) {
    if (!options.alerts)
        ownAlerts_ = std::make_unique<MessageBoxAlerts>(&window_);
    if (!options.sounds)
        ownSounds_ = std::make_unique<PlatformSounds>();
    Alerts& alerts = options.alerts ? *options.alerts : *ownAlerts_;
    Sounds& sounds = options.sounds ? *options.sounds : *ownSounds_;
    PtyOpener& ptyOpener = options.ptyOpener ? *options.ptyOpener : systemPtyOpener_;
    controller_ = std::make_unique<EmberlinController>(
        window_, EmberlinController::Services{alerts, sounds, settings, ptyOpener, options.toolPath,
                                              options.listingTimeLimit, options.rescanDelay});
    quitGuard_ = std::make_unique<QuitGuard>(*controller_, window_);

    EmberlinController* controller = controller_.get();
    QObject::connect(&window_, &MainWindow::burnAgainClicked, controller,
                     &EmberlinController::burnAgain);
    QObject::connect(&window_, &MainWindow::cancelClicked, controller, &EmberlinController::cancel);
    QObject::connect(&window_, &MainWindow::reloadBurnersClicked, controller,
                     &EmberlinController::reloadBurners);
    QObject::connect(&window_, &MainWindow::filesDropped, controller,
                     &EmberlinController::burnDroppedFile);
    // Like opening a file with the app from the file manager.
    QObject::connect(&window_, &MainWindow::fileChosen, controller, &EmberlinController::openFiles);
    QObject::connect(&window_, &MainWindow::quitChosen, quitGuard_.get(), &QuitGuard::requestQuit);
}

AppAssembly::~AppAssembly() = default;

} // namespace emberlin
