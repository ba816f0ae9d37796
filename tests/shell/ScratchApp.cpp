#include "tests/shell/ScratchApp.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <csignal>

namespace {
constexpr int generousMs = 60000;
} // namespace

ScratchApp::ScratchApp(const QString& executable, Layout layout)
    : executable_(executable) {
    QDir root(root_.path());
    root.mkpath("config");
    root.mkpath("work");
    if (layout == Layout::CopiedBesideTool) {
        root.mkpath("bin");
        executable_ = root.filePath("bin/emberlin");
        QFile::copy(executable, executable_);
        FakeToolScript::installTool(root.filePath("bin"));
    }
}

ScratchApp::~ScratchApp() {
    for (const auto& process : processes_) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(generousMs);
        }
    }
}

QString ScratchApp::workFolder() const {
    return QDir(root_.path()).filePath("work");
}

QString ScratchApp::settingsFile() const {
    return QDir(root_.path()).filePath("config/Emberlin/Emberlin.conf");
}

QString ScratchApp::createImage(const QString& name) const {
    const QString path = QDir(workFolder()).filePath(name);
    QFile image(path);
    image.open(QIODevice::WriteOnly);
    image.write("disc image");
    return path;
}

QProcess& ScratchApp::launch(const QStringList& arguments, const QString& folder,
                             const std::function<void(QProcess&)>& prepare) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("EMBERLIN_FAKE_DIR", tool_.folder());
    environment.insert("XDG_CONFIG_HOME", QDir(root_.path()).filePath("config"));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(folder.isEmpty() ? workFolder() : folder);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    if (prepare)
        prepare(*process);
    process->start(executable_, arguments);
    process->waitForStarted(generousMs);
    processes_.push_back(std::move(process));
    return *processes_.back();
}

int ScratchApp::launchToEnd(const QStringList& arguments) {
    QProcess& process = launch(arguments);
    if (!process.waitForFinished(generousMs) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

bool ScratchApp::waitForCalls(std::size_t count) const {
    return waitFor([&] { return tool_.calls().size() >= count; });
}

bool endsCleanly(QProcess& process) {
    return process.waitForFinished(generousMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}
