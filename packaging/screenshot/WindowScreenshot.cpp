// Renders the main window as the user first sees it, for the README and the
// AppStream metadata: the real application, offscreen, with the stand-in tool
// listing two burners. Usage: emberlin-screenshot OUTPUT.png
#include "AppAssembly.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
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
    const QByteArray burners = "Optiarc DVD RW AD-7280S via USB\n"
                               "  IOService:/AppleACPIPlatformExpert/USB/Optiarc\n"
                               "Pioneer BD-RW BDR-XD07 via USB\n"
                               "  IOService:/AppleACPIPlatformExpert/USB/Pioneer\n";
    listing.write("out " + burners.toHex() + "\n");
    listing.close();
    qputenv("EMBERLIN_FAKE_DIR", QFile::encodeName(scratch.path()));

    // Defaults, not whatever the person running this has chosen.
    QSettings settings(QDir(scratch.path()).filePath(QStringLiteral("settings.conf")),
                       QSettings::IniFormat);
    emberlin::AppAssembly app(settings, {QStringLiteral(EMBERLIN_FAKE_DISCTOOL)});
    // Taken once the listing has ended.
    QEventLoop listed;
    QObject::connect(&app.controller(), &emberlin::EmberlinController::burnStateChanged, &listed,
                     [&listed](int state) {
                         if (state != emberlin::BurnStateListing)
                             listed.quit();
                     });
    app.controller().awakeFromNib();
    app.window().show();
    listed.exec();
    QApplication::processEvents();

    if (!app.window().grab().save(arguments[1], "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[1]));
        return 1;
    }
    return 0;
}
