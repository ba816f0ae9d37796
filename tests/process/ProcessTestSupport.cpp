#include "ProcessTestSupport.h"

#include <QDir>
#include <QFile>
#include <QtCore/qtestsupport_core.h>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {
constexpr int GenerousBoundMs = 30000;
}

bool waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, GenerousBoundMs);
}

int openDescriptorCount() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                                .size());
}

int childProcessCount() {
    const QString self = QString::number(::getpid());
    int count = 0;
    const QStringList entries =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1] == self.toLatin1())
            ++count;
    }
    return count;
}

bool processGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

QStringList shellCommand(const QString& script) {
    return {QStringLiteral("/bin/sh"), QStringLiteral("-c"), script};
}

void RecordingClient::processOutput(const QString& output) {
    events.append(QStringLiteral("output"));
    pieces.append(output);
    if (onOutput)
        onOutput(output);
}

void RecordingClient::processStarted() {
    events.append(QStringLiteral("started"));
    if (onStarted)
        onStarted();
}

void RecordingClient::processFinished() {
    events.append(QStringLiteral("finished"));
    ++finishedCount;
}

void RecordingClient::processExited(int waitStatus) {
    events.append(QStringLiteral("exited"));
    exitStatus = waitStatus;
}
