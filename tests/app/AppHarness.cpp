#include "tests/app/AppHarness.h"

#include <QFile>

using namespace emberlin;

int RecordingAlerts::runCritical(const QString& message, const QString& informative,
                                 const QStringList& buttons, int defaultButton) {
    shown.push_back({message, informative, buttons, defaultButton});
    return answer ? answer(shown.back()) : defaultButton;
}

AppHarness::AppHarness()
    : AppHarness(Options{}) {}

AppHarness::AppHarness(const Options& options)
    : store_(std::make_unique<QSettings>(
          options.storePath.isEmpty() ? scratch_.filePath("prefs.ini") : options.storePath,
          QSettings::IniFormat)) {
    AppAssembly::Options parts{options.toolPath,
                               &alerts,
                               &sounds,
                               options.ptyOpener,
                               options.listingTimeLimit,
                               std::chrono::milliseconds(0),
                               [this] { return now; },
                               [this] {
                                   return steadyNow;
                               }};
#ifndef Q_OS_MACOS
    parts.driveEvents = &driveEvents;
    parts.notifications = &notifications;
    parts.taskbar = &taskbar;
    parts.driveSettleTime = std::chrono::milliseconds(0);
#endif
    app_ = std::make_unique<AppAssembly>(*store_, parts);
    QObject::connect(&controller().burnReports(), &BurnReports::stateChanged,
                     [this](BurnState state) {
                         if (states.back() != state)
                             states.push_back(state);
                     });
}

void AppHarness::listTwoBurners() const {
    fake.setListing({fake::say("Virtual Writer via USB\n" + firstBurnerDevice.toUtf8() +
                               "\nSecond Writer\n \t" + secondBurnerDevice.toUtf8() + "\t \n")});
}

void AppHarness::start() {
    controller().awakeFromNib();
    if (!waitFor([this] { return state() != BurnStateListing; }))
        qFatal("the listing did not end");
}

bool AppHarness::waitForState(BurnState wanted) {
    return waitFor([this, wanted] { return state() == wanted; });
}

QString AppHarness::makeImage(const QString& name) const {
    QFile file(scratchPath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write("disc image") != 10)
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

bool AppHarness::waitForBurnCalls(std::size_t count) const {
    return waitFor([&] { return fake.burnCalls().size() >= count; });
}
