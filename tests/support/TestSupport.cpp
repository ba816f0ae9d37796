#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtCore/qtestsupport_core.h>
#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

bool waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 60000);
}

int openDescriptorCount() {
    return static_cast<int>(
        QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

int childProcessCount() {
    const QByteArray self = QByteArray::number(::getpid());
    int count = 0;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QString("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        count += fields.size() > 1 && fields[1] == self ? 1 : 0;
    }
    return count;
}

bool processGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

int exitStatusInChild(void (*body)()) {
    const pid_t child = ::fork();
    if (child == 0)
        body();
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
