#include "app/AppAssembly.h"
#include "app/shell/MessageBoxAlerts.h"
#include "app/shell/TerminationSignals.h"
#include "app/shell/ToolLocation.h"
#include "app/shell/Translations.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QSettings>
#include <QTimer>

#ifdef Q_OS_MACOS
#include "app/shell/FileOpenEvents.h"
#else
#include "app/shell/SingleInstance.h"

#include <QFileInfo>
#endif

using namespace emberlin;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Emberlin"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("emberlin.org"));
    QCoreApplication::setApplicationName(QStringLiteral("Emberlin"));
    QGuiApplication::setDesktopFileName(AppAssembly::applicationId);
    QGuiApplication::setWindowIcon(QIcon::fromTheme(AppAssembly::applicationId,
                                                    QIcon(QStringLiteral(":/icons/emberlin.svg"))));
    const Translations translations{QLocale()};

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
            QCoreApplication::translate("main", "Emberlin is already running"),
            QCoreApplication::translate("main", "It does not answer, so nothing was handed to it."),
            {QCoreApplication::translate("main", "OK")});
        return 1;
    case SingleInstance::Outcome::Primary:
        break;
    }
#endif

    // From now on a termination signal waits for the event loop and takes the
    // normal way out there (a second launch above may still simply end).
    TerminationSignals terminationSignals;

    QSettings settings;
    AppAssembly app(settings, {ToolLocation::forThisApplication()});
    EmberlinController& controller = app.controller();
    QObject::connect(&terminationSignals, &TerminationSignals::received, &app.quitGuard(),
                     &QuitGuard::terminateWithoutAsking);
#ifdef Q_OS_MACOS
    QObject::connect(&fileOpenEvents, &FileOpenEvents::filesOpened, &controller,
                     &EmberlinController::openFiles);
#else
    QObject::connect(&singleInstance, &SingleInstance::launchedAgain, &controller,
                     [&](const QStringList& files) {
                         app.desktopFeedback().raiseWindow();
                         if (!files.isEmpty())
                             controller.openFiles(files);
                     });
#endif

    controller.awakeFromNib();
    app.window().show();

#ifndef Q_OS_MACOS
    // Once the event loop runs; during the burner listing the file waits for it.
    if (!launchFiles.isEmpty())
        QTimer::singleShot(0, &controller, [&] { controller.openFiles(launchFiles); });
#endif
    return application.exec();
}
