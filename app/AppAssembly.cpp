#include "app/AppAssembly.h"

#include "app/records/ReceiptFile.h"
#include "app/shell/MessageBoxAlerts.h"

#ifdef Q_OS_MACOS
#include "app/shell/MacSystemSounds.h"
#else
#include "app/shell/CanberraSounds.h"
#include "desktop/FreedesktopNotifications.h"
#include "desktop/LauncherEntryProgress.h"
#include "desktop/UdevOpticalDriveEvents.h"

#include <QDBusConnection>
#endif

#include <QCoreApplication>

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
        window_, EmberlinController::Services{
                     {alerts, sounds, settings, ptyOpener, burnerClaims_, options.toolPath},
                     options.listingTimeLimit,
                     options.rescanDelay,
                     // Quitting asks while copies are being written, too.
                     [this] {
                         return copyBurnController_ && copyBurnController_->writing();
                     }});
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
    connectBurnReports(options, alerts);
    connectCopies(settings, options, alerts, sounds, ptyOpener);
#ifndef Q_OS_MACOS
    connectDesktop(options);
#endif
}

void AppAssembly::connectCopies(QSettings& settings, const Options& options, Alerts& alerts,
                                Sounds& sounds, PtyOpener& ptyOpener) {
    copiesWindow_ = std::make_unique<CopiesWindow>(&window_);
    copyBurnController_ = std::make_unique<CopyBurnController>(
        *copiesWindow_, CopyBurnController::Services{
                            {alerts, sounds, settings, ptyOpener, burnerClaims_, options.toolPath},
                            options.clock,
                            options.steadyClock});
    EmberlinController* controller = controller_.get();
    CopyBurnController* copies = copyBurnController_.get();
    QObject::connect(&window_, &MainWindow::burnCopiesChosen, copies,
                     [controller, copies] { copies->open(controller->imagePath()); });
    QObject::connect(&controller->burnerListing(), &BurnerListing::burnersListed, copies,
                     &CopyBurnController::setBurners);
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, copies,
                     &CopyBurnController::stop);
}

void AppAssembly::connectBurnReports(const Options& options, Alerts& alerts) {
    BurnReports& reports = controller_->burnReports();
    jobProgressLine_ = std::make_unique<JobProgressLine>(
        [this](const QString& text) {
            if (text.isEmpty())
                window_.hideJobProgress();
            else
                window_.showJobProgress(text);
        },
        options.steadyClock);
    reports.attach(*jobProgressLine_);
    discRefusalNote_ = std::make_unique<DiscRefusalNote>(window_);
    reports.attach(*discRefusalNote_);
    burnJournal_ = std::make_unique<BurnJournal>(options.clock);
    BurnJournal* journal = burnJournal_.get();
    reports.attach(*journal);
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, journal,
                     &BurnJournal::stop);
    QObject::connect(journal, &BurnJournal::receiptReadyChanged, &window_,
                     &MainWindow::setReceiptAvailable);
    QObject::connect(&window_, &MainWindow::saveReceiptChosen, journal, [this, journal, &alerts] {
        if (!journal->receiptReady())
            return;
        const QString path =
            window_.askReceiptPath(suggestedReceiptPath(journal->record().imagePath));
        if (!path.isEmpty())
            saveBurnReceipt(journal->record(), path, alerts);
    });
}

#ifndef Q_OS_MACOS
void AppAssembly::connectDesktop(const Options& options) {
    if (!options.driveEvents)
        ownDriveEvents_ = std::make_unique<UdevOpticalDriveEvents>();
    if (!options.notifications)
        ownNotifications_ = std::make_unique<FreedesktopNotifications>(
            QDBusConnection::sessionBus(), QCoreApplication::applicationName(), applicationId);
    if (!options.taskbar)
        ownTaskbar_ =
            std::make_unique<LauncherEntryProgress>(QDBusConnection::sessionBus(), applicationId);
    OpticalDriveEvents& drives = options.driveEvents ? *options.driveEvents : *ownDriveEvents_;
    DesktopNotifications& notifications =
        options.notifications ? *options.notifications : *ownNotifications_;
    TaskbarProgress& taskbar = options.taskbar ? *options.taskbar : *ownTaskbar_;

    EmberlinController* controller = controller_.get();
    BurnReports& reports = controller->burnReports();
    // Before the window's start-up, so it sees the burn state from the first
    // listing on.
    burnerListRefresher_ = std::make_unique<BurnerListRefresher>(drives, options.driveSettleTime);
    BurnerListRefresher* refresher = burnerListRefresher_.get();
    QObject::connect(&reports, &BurnReports::stateChanged, refresher,
                     &BurnerListRefresher::burnStateChanged);
    QObject::connect(&reports, &BurnReports::started, refresher, &BurnerListRefresher::burnStarted);
    QObject::connect(refresher, &BurnerListRefresher::reloadBurnersRequested, controller,
                     &EmberlinController::reloadBurners);

    desktopFeedback_ = std::make_unique<BurnDesktopFeedback>(window_, notifications, taskbar);
    reports.attach(*desktopFeedback_);
    QObject::connect(jobProgressLine_.get(), &JobProgressLine::jobProgressed,
                     desktopFeedback_.get(), &BurnDesktopFeedback::jobProgressed);

    // Copies burn off the list: it waits for them. The taskbar shows all
    // their bytes together, the notification their summary.
    CopyBurnController* copies = copyBurnController_.get();
    QObject::connect(copies, &CopyBurnController::runningChanged, refresher,
                     &BurnerListRefresher::copiesRunning);
    copiesDesktopFeedback_ =
        std::make_unique<BurnDesktopFeedback>(*copiesWindow_, notifications, taskbar);
    BurnDesktopFeedback* copiesFeedback = copiesDesktopFeedback_.get();
    QObject::connect(copies, &CopyBurnController::burnStateChanged, copiesFeedback,
                     &BurnDesktopFeedback::burnStateChanged);
    QObject::connect(copies, &CopyBurnController::burnProgressed, copiesFeedback,
                     &BurnDesktopFeedback::jobProgressed);
    QObject::connect(copies, &CopyBurnController::burnEnded, copiesFeedback,
                     &BurnDesktopFeedback::burnEnded);
    QObject::connect(copies, &CopyBurnController::copiesStarted, copiesFeedback,
                     [copiesFeedback](const QString& imagePath) {
                         copiesFeedback->burnStarted(imagePath, QString());
                     });
    QObject::connect(copies, &CopyBurnController::copyBurnStateChanged, copiesFeedback,
                     &BurnDesktopFeedback::burnerStateChanged);
    QObject::connect(copies, &CopyBurnController::copyDiscRefused, copiesFeedback,
                     &BurnDesktopFeedback::discRefusedBy);
}
#endif

AppAssembly::~AppAssembly() = default;

} // namespace emberlin
