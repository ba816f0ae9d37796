// Renders the main window as the user first sees it, for the README and the
// AppStream metadata: the real form and controller, offscreen, with the
// stand-in tool listing two burners. Usage: emberlin-screenshot OUTPUT.png
#include "CanberraSounds.h"
#include "EmberlinController.h"
#include "MessageBoxAlerts.h"
#include "PtyOpener.h"
#include "WindowOutlets.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: emberlin-screenshot OUTPUT.png\n");
        return 2;
    }

    QTemporaryDir scratch;
    QFile listing(QDir(scratch.path()).filePath(QStringLiteral("list.transcript")));
    if (!scratch.isValid() || !listing.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot prepare the stand-in tool\n");
        return 1;
    }
    listing.write("line Optiarc DVD RW AD-7280S via USB\n"
                  "line   IOService:/AppleACPIPlatformExpert/USB/Optiarc\n"
                  "line Pioneer BD-RW BDR-XD07 via USB\n"
                  "line   IOService:/AppleACPIPlatformExpert/USB/Pioneer\n");
    listing.close();
    qputenv("EMBERLIN_FAKE_DIR", QFile::encodeName(scratch.path()));

    // Defaults, not whatever the person running this has chosen.
    QSettings settings(QDir(scratch.path()).filePath(QStringLiteral("settings.conf")),
                       QSettings::IniFormat);
    QMainWindow window;
    const EmberlinController::Outlets outlets = buildWindowOutlets(window);
    MessageBoxAlerts alerts(&window);
    CanberraSounds sounds;
    SystemPtyOpener ptyOpener;
    EmberlinController controller(
        outlets, {alerts, sounds, settings, ptyOpener, QStringLiteral(EMBERLIN_FAKE_DISCTOOL)});
    connectWindowActions(outlets, controller);
    controller.awakeFromNib();
    window.show();
    QApplication::processEvents();

    if (!window.grab().save(arguments[1], "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[1]));
        return 1;
    }
    return 0;
}
