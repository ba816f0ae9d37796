#include "EmberlinController.h"
#include "MessageBoxAlerts.h"
#include "PtyOpener.h"
#include "QuitGuard.h"
#include "TerminationSignals.h"
#include "ToolLocation.h"
#include "WindowOutlets.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMainWindow>
#include <QSettings>
#include <QTimer>

#ifdef Q_OS_MACOS
#include "FileOpenEvents.h"
#include "MacSystemSounds.h"
using PlatformSounds = MacSystemSounds;
#else
#include "CanberraSounds.h"
#include "SingleInstance.h"

#include <QFileInfo>
using PlatformSounds = CanberraSounds;
#endif

namespace {

const QString applicationId = QStringLiteral("org.emberlin.Emberlin");

void bringToFront(QMainWindow& window) {
    window.show();
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.raise();
    window.activateWindow();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Emberlin"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("emberlin.org"));
    QCoreApplication::setApplicationName(QStringLiteral("Emberlin"));
    QGuiApplication::setDesktopFileName(applicationId);
    QGuiApplication::setWindowIcon(
        QIcon::fromTheme(applicationId, QIcon(QStringLiteral(":/icons/emberlin.svg"))));

#ifdef Q_OS_MACOS
    FileOpenEvents fileOpenEvents;
#else
    // Paths are made absolute here: the running instance has another
    // working folder.
    QStringList launchFiles;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (!argument.isEmpty())
            launchFiles.append(QFileInfo(argument).absoluteFilePath());
    }

    // Before the window exists, so that a second launch lists no burners.
    SingleInstance singleInstance(SingleInstance::serverName(QSettings().fileName()));
    switch (singleInstance.claimOrHandOver(launchFiles)) {
    case SingleInstance::Outcome::HandedOver:
        return 0;
    case SingleInstance::Outcome::NoAnswer:
        MessageBoxAlerts().runCritical(
            QStringLiteral("Emberlin is already running"),
            QStringLiteral("It does not answer, so nothing was handed to it."),
            {QStringLiteral("OK")});
        return 1;
    case SingleInstance::Outcome::Primary:
        break;
    }
#endif

    // From now on a termination signal waits for the event loop and takes the
    // normal way out there (a second launch above may still simply end).
    TerminationSignals terminationSignals;

    QSettings settings;
    QMainWindow window;
    const EmberlinController::Outlets outlets = buildWindowOutlets(window);
    MessageBoxAlerts alerts(&window);
    PlatformSounds sounds;
    SystemPtyOpener ptyOpener;
    EmberlinController controller(
        outlets, {alerts, sounds, settings, ptyOpener, ToolLocation::forThisApplication()});
    connectWindowActions(outlets, controller);

    QuitGuard quitGuard(controller, window);
    QObject::connect(window.findChild<QAction*>(QStringLiteral("quitAction")), &QAction::triggered,
                     &quitGuard, &QuitGuard::requestQuit);
    QObject::connect(&terminationSignals, &TerminationSignals::received, &quitGuard,
                     &QuitGuard::terminateWithoutAsking);

#ifdef Q_OS_MACOS
    QObject::connect(&fileOpenEvents, &FileOpenEvents::filesOpened, &controller,
                     &EmberlinController::openFiles);
#else
    QObject::connect(&singleInstance, &SingleInstance::launchedAgain, &controller,
                     [&](const QStringList& files) {
                         bringToFront(window);
                         if (!files.isEmpty())
                             controller.openFiles(files);
                     });
#endif

    controller.awakeFromNib();
    window.show();

#ifndef Q_OS_MACOS
    if (!launchFiles.isEmpty())
        QTimer::singleShot(0, &controller, [&] { controller.openFiles(launchFiles); });
#endif
    return application.exec();
}
