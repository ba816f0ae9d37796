// Renders the main window as the user first sees it, for the README and the
// AppStream metadata: the real application, offscreen, with the stand-in tool
// listing its burners; given a second file, the window burning a DVD at 16x
// with its speed and time left; given a third, the copies window burning the
// same image to three more burners while the main window holds the first.
// Usage: emberlin-screenshot OUTPUT.png [BURNING.png [COPIES.png]]
#include "app/AppAssembly.h"
#include "views/CopyBurnerRow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

const QByteArray burners = "Optiarc DVD RW AD-7280S via USB\n"
                           "  IOService:/AppleACPIPlatformExpert/USB/Optiarc\n"
                           "Pioneer BD-RW BDR-XD07 via USB\n"
                           "  IOService:/AppleACPIPlatformExpert/USB/Pioneer\n"
                           "ASUS SDRW-08U9M-U via USB\n"
                           "  IOService:/AppleACPIPlatformExpert/USB/ASUS\n"
                           "LG GP65NB60 via USB\n"
                           "  IOService:/AppleACPIPlatformExpert/USB/LG\n";

// What the stand-in tool says to a burn of each copies burner, then it waits.
const std::pair<const char*, QByteArray> copyBurns[] = {
    {"Pioneer", "Preparing data for burn\n"
                "FACT: medium=bd-r capacity=25025314816 image-bytes=4294967296\n"
                "FACT: write-kbps=17982 read-kbps=35964\n"
                "Writing track\nPERCENT:63\nFACT: bytes-written=2705829268\n"},
    {"ASUS", "Please insert a disc:"},
    {"LG", "Preparing data for burn\n"
           "FACT: medium=dvd+r capacity=4700372992 image-bytes=4294967296\n"
           "FACT: write-kbps=11080 read-kbps=22160\n"
           "Writing track\nPERCENT:100\nFACT: bytes-written=4294967296\n"
           "Verifying burn\nPERCENT:35\nFACT: bytes-verified=1503238553\n"},
};

// A transcript of the stand-in tool that says these bytes and then waits.
bool writeTranscript(const QString& path, const QByteArray& bytes, bool hang) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write("out " + bytes.toHex() + "\n" + (hang ? "hang\n" : "")) >= 0;
}

bool save(QWidget& window, const QString& path) {
    QApplication::processEvents();
    if (window.grab().save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 4) {
        std::fprintf(stderr, "usage: emberlin-screenshot OUTPUT.png [BURNING.png [COPIES.png]]\n");
        return 2;
    }

    QTemporaryDir scratch;
    const QDir folder(scratch.path());
    const QByteArray burning = "Preparing data for burn\n"
                               "FACT: medium=dvd+r capacity=4700372992 image-bytes=4294967296\n"
                               "FACT: write-kbps=22160 read-kbps=22160\n"
                               "Writing track\n"
                               "PERCENT:42\n"
                               "FACT: bytes-written=1803886264\n";
    bool prepared = scratch.isValid() &&
                    writeTranscript(folder.filePath("list.transcript"), burners, false) &&
                    writeTranscript(folder.filePath("burn.transcript"), burning, true);
    for (const auto& [burner, bytes] : copyBurns)
        prepared = prepared &&
                   writeTranscript(folder.filePath(QString("burn-IOService:_AppleACPIPlatformExpert"
                                                           "_USB_%1.transcript")
                                                       .arg(burner)),
                                   bytes, true);
    if (!prepared) {
        std::fprintf(stderr, "cannot prepare the stand-in tool\n");
        return 1;
    }
    qputenv("EMBERLIN_FAKE_DIR", QFile::encodeName(scratch.path()));

    // Defaults, not whatever the person running this has chosen.
    QSettings settings(folder.filePath(QStringLiteral("settings.conf")), QSettings::IniFormat);
    emberlin::AppAssembly app(settings, {QStringLiteral(EMBERLIN_FAKE_DISCTOOL)});
    // Taken once the listing has ended.
    QEventLoop listed;
    QObject::connect(&app.controller().burnReports(), &emberlin::BurnReports::stateChanged, &listed,
                     [&listed](emberlin::BurnState state) {
                         if (state != emberlin::BurnStateListing)
                             listed.quit();
                     });
    app.controller().awakeFromNib();
    app.window().show();
    listed.exec();
    if (!save(app.window(), arguments[1]))
        return 1;
    if (arguments.size() == 2)
        return 0;

    QFile image(folder.filePath(QStringLiteral("Holiday Photos.iso")));
    if (!image.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(image.fileName()));
        return 1;
    }
    image.close();
    // Taken once the tool's last line has been shown.
    QEventLoop written;
    QObject::connect(&app.controller().burnReports(), &emberlin::BurnReports::factReported,
                     &written, [&written](const QString& line) {
                         if (line.contains(QStringLiteral("bytes-written")))
                             written.quit();
                     });
    app.controller().openFiles({image.fileName()});
    written.exec();
    if (!save(app.window(), arguments[2]))
        return 1;
    if (arguments.size() == 3)
        return 0;

    emit app.window().burnCopiesChosen();
    // Every burner but the one the main window burns on.
    for (const auto& copy : app.copyBurnController().copies())
        copy->row().setChecked(copy->burner().title.startsWith(u"Optiarc") == false);
    emit app.copiesWindow().burnClicked();
    // Taken once every copy shows its tool's last line.
    const QDeadlineTimer deadline(10000);
    const auto shown = [&app] {
        std::size_t told = 0;
        for (const auto& copy : app.copyBurnController().copies()) {
            const QString status = copy->row().findChild<QLabel*>("statusField")->text();
            if (status == QStringLiteral("Please wait..."))
                return false;
            told += status.isEmpty() ? 0 : 1;
        }
        return told == std::size(copyBurns);
    };
    while (!shown() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    app.copiesWindow().resize(app.copiesWindow().width(), 760);
    return save(app.copiesWindow(), arguments[3]) ? 0 : 1;
}
