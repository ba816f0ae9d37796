// Renders the main window as the user first sees it, for the README and the
// AppStream metadata: the real application, offscreen, with the stand-in tool
// listing two burners; and, given a second file, the window burning a DVD at
// 16x with its speed and time left.
// Usage: emberlin-screenshot OUTPUT.png [BURNING.png]
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
    if (arguments.size() != 2 && arguments.size() != 3) {
        std::fprintf(stderr, "usage: emberlin-screenshot OUTPUT.png [BURNING.png]\n");
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
    QFile burn(QDir(scratch.path()).filePath(QStringLiteral("burn.transcript")));
    const QByteArray burning = "Preparing data for burn\n"
                               "FACT: medium=dvd+r capacity=4700372992 image-bytes=4294967296\n"
                               "FACT: write-kbps=22160 read-kbps=22160\n"
                               "Writing track\n"
                               "PERCENT:42\n"
                               "FACT: bytes-written=1803886264\n";
    if (!burn.open(QIODevice::WriteOnly) || burn.write("out " + burning.toHex() + "\nhang\n") < 0) {
        std::fprintf(stderr, "cannot prepare the stand-in tool\n");
        return 1;
    }
    burn.close();
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
    if (arguments.size() == 2)
        return 0;

    QFile image(QDir(scratch.path()).filePath(QStringLiteral("Holiday Photos.iso")));
    if (!image.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(image.fileName()));
        return 1;
    }
    image.close();
    // Taken once the tool's last line has been shown.
    QEventLoop written;
    QObject::connect(&app.controller(), &emberlin::EmberlinController::burnFactReported, &written,
                     [&written](const QString& line) {
                         if (line.contains(QStringLiteral("bytes-written")))
                             written.quit();
                     });
    app.controller().openFiles({image.fileName()});
    written.exec();
    QApplication::processEvents();
    if (!app.window().grab().save(arguments[2], "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[2]));
        return 1;
    }
    return 0;
}
