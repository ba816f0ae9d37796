#include "ControllerHarness.h"

#include "WindowOutlets.h"

#include <QDir>
#include <QFile>

ControllerHarness::ControllerHarness()
    : ControllerHarness(Options{}) {}

ControllerHarness::ControllerHarness(const Options& options)
    : store_(std::make_unique<QSettings>(options.storePath.isEmpty()
                                             ? scratch_.filePath(QStringLiteral("prefs.ini"))
                                             : options.storePath,
                                         QSettings::IniFormat))
    , outlets_(buildWindowOutlets(window_)) {
    PtyOpener& ptyOpener = options.ptyOpener != nullptr ? *options.ptyOpener : systemPty_;
    EmberlinController::Services services{alerts,    sounds,           *store_,
                                          ptyOpener, options.toolPath, options.listingTimeLimit};
    controller_ = std::make_unique<EmberlinController>(outlets_, services);
    connectWindowActions(outlets_, *controller_);
}

ControllerHarness::~ControllerHarness() = default;

void ControllerHarness::listTwoBurners() {
    fake.setListing({
        FakeDirective::line(QStringLiteral("Virtual Writer via USB")),
        FakeDirective::line(firstBurnerDevice),
        FakeDirective::line(QStringLiteral("Second Writer")),
        FakeDirective::line(QStringLiteral(" \t") + secondBurnerDevice + QStringLiteral("\t ")),
    });
}

void ControllerHarness::start() {
    controller_->awakeFromNib();
}

QString ControllerHarness::makeImage(const QString& name) {
    const QString path = scratchPath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write("disc image");
    return path;
}

QString ControllerHarness::scratchPath(const QString& name) const {
    return scratch_.filePath(name);
}

std::vector<QStringList> ControllerHarness::burnCalls() const {
    std::vector<QStringList> burns;
    for (const QStringList& call : fake.calls()) {
        if (call != QStringList{QStringLiteral("burn"), QStringLiteral("-list")})
            burns.push_back(call);
    }
    return burns;
}

bool ControllerHarness::waitForBurnCalls(std::size_t count) {
    return FakeToolScript::waitUntil([&] { return burnCalls().size() >= count; });
}

QString ControllerHarness::successSound() {
#ifdef Q_OS_MACOS
    return QStringLiteral("sound:Glass");
#else
    return QStringLiteral("sound:complete");
#endif
}

QString ControllerHarness::failureSound() {
#ifdef Q_OS_MACOS
    return QStringLiteral("sound:Basso");
#else
    return QStringLiteral("sound:dialog-error");
#endif
}
