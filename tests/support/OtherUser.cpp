#include "tests/support/OtherUser.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace otheruser {

namespace {
const char* const name = "nobody";
} // namespace

QString unavailableBecause() {
    if (::geteuid() != 0)
        return QStringLiteral("only root can act as another user");
    if (::getpwnam(name) == nullptr)
        return QStringLiteral("there is no user %1").arg(name);
    return {};
}

QStringList commandAs(const QStringList& command) {
    const passwd* user = ::getpwnam(name);
    return QStringList{"setpriv", QStringLiteral("--reuid=%1").arg(user->pw_uid),
                       QStringLiteral("--regid=%1").arg(user->pw_gid), "--clear-groups", "--"} +
           command;
}

bool run(const QStringList& command) {
    const QStringList line = commandAs(command);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(line.first(), line.mid(1));
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QString makeSharedFolder(const QString& parent, const QString& folderName) {
    QFile::setPermissions(parent, QFile::permissions(parent) | QFile::ExeGroup | QFile::ExeOther);
    const QString path = QDir(parent).filePath(folderName);
    QDir().mkpath(path);
    // QFile has no name for the sticky bit.
    ::chmod(QFile::encodeName(path).constData(), 01777);
    return path;
}

} // namespace otheruser
