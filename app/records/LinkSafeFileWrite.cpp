#include "app/records/LinkSafeFileWrite.h"

#include "posix/FileDescriptor.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace emberlin {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(LinkSafeFileWrite)
};

// The file being written, under a name beside the final one that no one can
// guess; removed unless it has taken the final name.
class FreshFile {
public:
    FreshFile(int folder, const QByteArray& finalName)
        : folder_(folder) {
        for (int attempt = 0; attempt < 16 && !fd_; ++attempt) {
            name_ = '.' + finalName.left(200) + '.' +
                    QByteArray::number(QRandomGenerator::system()->generate64(), 36) + ".tmp";
            // O_EXCL neither follows a link at the name nor opens what was there.
            fd_.reset(::openat(folder_, name_.constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
            if (!fd_ && errno != EEXIST)
                break;
        }
        if (!fd_)
            name_.clear();
    }
    FreshFile(const FreshFile&) = delete;
    FreshFile& operator=(const FreshFile&) = delete;
    ~FreshFile() {
        if (!name_.isEmpty())
            ::unlinkat(folder_, name_.constData(), 0);
    }

    int fd() const { return fd_.get(); }
    // Closes it, with the error a delayed write may only report then.
    bool close() { return ::close(fd_.release()) == 0; }

    // Renaming over a name replaces the entry itself, never what a link
    // there points to: a link that took the file's place since goes too.
    bool replace(const char* finalName) {
        if (::renameat(folder_, name_.constData(), folder_, finalName) != 0)
            return false;
        name_.clear();
        return true;
    }

    // Takes the final name only while it is free.
    bool takeFreeName(const char* finalName) {
#ifdef __linux__
        if (::renameat2(folder_, name_.constData(), folder_, finalName, RENAME_NOREPLACE) == 0) {
            name_.clear();
            return true;
        }
        if (errno != EINVAL && errno != ENOSYS)
            return false;
#endif
        // Where the file system cannot rename so: a second name, which never
        // replaces one; the fresh name goes with this object.
        return ::linkat(folder_, name_.constData(), folder_, finalName, 0) == 0;
    }

private:
    int folder_;
    QByteArray name_;
    posix::FileDescriptor fd_;
};

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (count < 0 && errno != EINTR)
            return false;
        done += count > 0 ? count : 0;
    }
    return true;
}

} // namespace

QString writeFileWithoutFollowingLinks(const QString& path, const QByteArray& contents) {
    const QFileInfo info(path);
    const posix::FileDescriptor folder(::open(QFile::encodeName(info.absolutePath()).constData(),
                                              O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder)
        return qt_error_string(errno);
    const QByteArray name = QFile::encodeName(info.fileName());
    struct stat there {};
    const bool taken = ::fstatat(folder.get(), name.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0;
    if (!taken && errno != ENOENT)
        return qt_error_string(errno);
    if (taken && S_ISLNK(there.st_mode))
        return Text::tr(
            "A symbolic link has this name, and it could lead anywhere. Choose another name.");
    if (taken && !S_ISREG(there.st_mode))
        return Text::tr("Something other than a file has this name. Choose another name.");

    FreshFile fresh(folder.get(), name);
    if (fresh.fd() < 0)
        return qt_error_string(errno);
    // The fresh file has the mode the person's umask gives: one replaced may
    // have been planted writable for everyone.
    if (!writeAll(fresh.fd(), contents) || ::fsync(fresh.fd()) != 0 || !fresh.close())
        return qt_error_string(errno);
    if (!(taken ? fresh.replace(name.constData()) : fresh.takeFreeName(name.constData())))
        return errno == EEXIST
                   ? Text::tr("Something has taken this name meanwhile. Choose another name.")
                   : qt_error_string(errno);
    // So that the new name survives a crash too.
    ::fsync(folder.get());
    return {};
}

} // namespace emberlin
