#include "tests/fakes/FakeToolScript.h"

#include <QDir>
#include <QFile>

namespace {
constexpr char folderVariable[] = "EMBERLIN_FAKE_DIR";
} // namespace

FakeToolScript::FakeToolScript() {
    if (!dir_.isValid())
        qFatal("cannot make a scratch folder: %s", qPrintable(dir_.errorString()));
    qputenv(folderVariable, QFile::encodeName(dir_.path()));
}

FakeToolScript::~FakeToolScript() {
    qunsetenv(folderVariable);
}

QString FakeToolScript::toolPath() {
    return QString(EMBERLIN_FAKE_DISCTOOL);
}

QString FakeToolScript::installTool(const QString& folder) {
    const QString target = QDir(folder).filePath("emberlin-disctool");
    QFile::remove(target);
    return QFile::copy(toolPath(), target) ? target : QString();
}

void FakeToolScript::setListing(const QStringList& steps) const {
    writeTranscript("list.transcript", steps);
}

void FakeToolScript::setBurn(const QStringList& steps) const {
    writeTranscript("burn.transcript", steps);
}

void FakeToolScript::setBurnOn(const QString& device, const QStringList& steps) const {
    writeTranscript("burn-" + QString(device).replace(u'/', u'_') + ".transcript", steps);
}

void FakeToolScript::writeTranscript(const QString& name, const QStringList& steps) const {
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(steps.join(u'\n').toUtf8() + '\n') < 0)
        qFatal("cannot write %s", qPrintable(file.fileName()));
}

QStringList FakeToolScript::recordLines(const QString& name) const {
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    lines.removeLast(); // after the last line end: an unfinished record is not read
    return lines;
}

std::vector<QStringList> FakeToolScript::calls() const {
    std::vector<QStringList> calls;
    for (const QString& line : recordLines("calls.log"))
        calls.push_back(line.split(u'\x1f'));
    return calls;
}

std::vector<QStringList> FakeToolScript::burnCalls() const {
    std::vector<QStringList> burns;
    for (const QStringList& call : calls()) {
        if (call != QStringList{"burn", "-list"})
            burns.push_back(call);
    }
    return burns;
}

std::vector<int> FakeToolScript::signalsReceived() const {
    std::vector<int> numbers;
    for (const QString& line : recordLines("signals.log"))
        numbers.push_back(line.toInt());
    return numbers;
}

void FakeToolScript::release(const QString& name) const {
    QFile(path(name)).open(QIODevice::WriteOnly);
}

bool FakeToolScript::marked(const QString& name) const {
    return QFile::exists(path(name));
}

namespace fake {
QString say(const QByteArray& bytes) {
    return "out " + QString::fromLatin1(bytes.toHex());
}
QString sayOnStandardError(const QByteArray& bytes) {
    return "err " + QString::fromLatin1(bytes.toHex());
}
QString await(const QString& name) {
    return "await " + name;
}
QString mark(const QString& name) {
    return "mark " + name;
}
QString readLine() {
    return "read";
}
QString exitWith(int status) {
    return QString("exit %1").arg(status);
}
QString hang() {
    return "hang";
}
QString crash() {
    return "crash";
}
} // namespace fake
