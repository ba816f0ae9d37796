#include "app/records/RegularFile.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace emberlin {

namespace {

QString notRegular() {
    return QCoreApplication::translate("RegularFile", "It is not a regular file.");
}

} // namespace

posix::FileDescriptor openRegularFile(const QString& path, QString& problem, Links links) {
    const QByteArray name = QFile::encodeName(path);
    const bool follow = links == Links::Follow;
    struct stat status {};
    // A look first, so that a device is not even opened.
    if ((follow ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status)) != 0) {
        problem = qt_error_string(errno);
        return {};
    }
    if (!S_ISREG(status.st_mode)) {
        problem = notRegular();
        return {};
    }
    // Without waiting, in case a pipe took the file's place since.
    posix::FileDescriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY |
                                                            O_CLOEXEC | (follow ? 0 : O_NOFOLLOW)));
    if (!file || ::fstat(file.get(), &status) != 0) {
        problem = qt_error_string(errno);
        return {};
    }
    if (!S_ISREG(status.st_mode)) {
        problem = notRegular();
        return {};
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        problem = qt_error_string(errno);
        return {};
    }
    return file;
}

} // namespace emberlin
