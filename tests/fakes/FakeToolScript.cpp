#include "FakeToolScript.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

namespace {

constexpr char FolderVariable[] = "EMBERLIN_FAKE_DIR";
constexpr char16_t ArgumentSeparator = u'\x1f';

} // namespace

FakeToolScript::FakeToolScript()
    : previousFolder_(qgetenv(FolderVariable))
    , hadPreviousFolder_(qEnvironmentVariableIsSet(FolderVariable)) {
    if (!dir_.isValid()) {
        qFatal("cannot make a scratch folder: %s", qPrintable(dir_.errorString()));
    }
    qputenv(FolderVariable, QFile::encodeName(dir_.path()));
}

FakeToolScript::~FakeToolScript() {
    if (hadPreviousFolder_) {
        qputenv(FolderVariable, previousFolder_);
    } else {
        qunsetenv(FolderVariable);
    }
}

QString FakeToolScript::toolPath() {
    return QStringLiteral(EMBERLIN_FAKE_DISCTOOL);
}

QString FakeToolScript::installTool(const QString& folder, const QString& name) {
    const QString target = QDir(folder).filePath(name);
    QFile::remove(target);
    if (!QFile::copy(toolPath(), target)) {
        return {};
    }
    QFile::setPermissions(target, QFile::permissions(toolPath()));
    return target;
}

QProcessEnvironment FakeToolScript::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(FolderVariable), dir_.path());
    return environment;
}

void FakeToolScript::setListing(const QStringList& directives) const {
    writeTranscript(QStringLiteral("list.transcript"), directives);
}

void FakeToolScript::setBurn(const QStringList& directives) const {
    writeTranscript(QStringLiteral("burn.transcript"), directives);
}

void FakeToolScript::writeTranscript(const QString& name, const QStringList& directives) const {
    QFile file(QDir(dir_.path()).filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qFatal("cannot write the transcript %s", qPrintable(file.fileName()));
    }
    for (const QString& directive : directives) {
        file.write(directive.toUtf8() + '\n');
    }
}

QStringList FakeToolScript::recordLines(const QString& name) const {
    QFile file(QDir(dir_.path()).filePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeLast(); // after the last line end; an unfinished record is not read
    return lines;
}

std::vector<QStringList> FakeToolScript::calls() const {
    std::vector<QStringList> calls;
    for (const QString& line : recordLines(QStringLiteral("calls.log"))) {
        calls.push_back(line.isEmpty() ? QStringList() : line.split(ArgumentSeparator));
    }
    return calls;
}

std::vector<int> FakeToolScript::signalsReceived() const {
    std::vector<int> numbers;
    for (const QString& line : recordLines(QStringLiteral("signals.log"))) {
        numbers.push_back(line.toInt());
    }
    return numbers;
}

std::vector<qint64> FakeToolScript::pids() const {
    std::vector<qint64> pids;
    for (const QString& line : recordLines(QStringLiteral("pids.log"))) {
        pids.push_back(line.toLongLong());
    }
    return pids;
}

bool FakeToolScript::waitUntil(const std::function<bool()>& condition,
                               std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        if (QCoreApplication::instance()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        QThread::msleep(5);
    }
    return true;
}

namespace FakeDirective {

QString line(const QString& text) {
    return QStringLiteral("line ") + text;
}
QString text(const QString& text) {
    return QStringLiteral("text ") + text;
}
QString bytes(const QByteArray& raw) {
    return QStringLiteral("bytes ") + QString::fromLatin1(raw.toHex(' '));
}
QString sleepFor(int milliseconds) {
    return QStringLiteral("sleep %1").arg(milliseconds);
}
QString exitWith(int status) {
    return QStringLiteral("exit %1").arg(status);
}
QString hang() {
    return QStringLiteral("hang");
}
QString abortDelay(int milliseconds) {
    return QStringLiteral("abort-delay %1").arg(milliseconds);
}
QString crash() {
    return QStringLiteral("crash");
}

} // namespace FakeDirective
