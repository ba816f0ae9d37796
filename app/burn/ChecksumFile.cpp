#include "app/burn/ChecksumFile.h"

#include "app/records/RegularFile.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace emberlin {

namespace {

constexpr qint64 largestChecksumFile = 1 << 20;

// Only the person (or root) decides what this file says: it is their own
// or root's, no one else may write it, and no other name of it lies where
// someone else may have made that name.
bool onlyThePersonCanHaveWritten(const struct stat& status) {
    return (status.st_uid == ::geteuid() || status.st_uid == 0) &&
           (status.st_mode & (S_IWGRP | S_IWOTH)) == 0 && status.st_nlink == 1;
}

// The file's text, if it is one the user can trust to be what was published.
std::optional<QString> trustedText(const QString& path) {
    QString problem;
    // A link's target would be judged, not who made the link.
    const posix::FileDescriptor file = openRegularFile(path, problem, Links::Refuse);
    struct stat status {};
    if (!file || ::fstat(file.get(), &status) != 0 || status.st_size > largestChecksumFile ||
        !onlyThePersonCanHaveWritten(status))
        return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(status.st_size), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got =
            ::read(file.get(), bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return QString::fromUtf8(bytes);
}

} // namespace

std::optional<ChecksumFile> findChecksumFile(const QString& imagePath) {
    const QFileInfo image(imagePath);
    const QString imageName = image.fileName();
    const QDir folder = image.dir();
    QStringList forThisImage;
    for (const char* suffix : {".sha512", ".sha512sum", ".sha256", ".sha256sum"})
        forThisImage.append(imageName + QLatin1String(suffix));
    // Fedora names its list after the release: "…-x86_64-CHECKSUM".
    const QStringList releaseLists = folder.entryList(
        {QStringLiteral("*-CHECKSUM")}, QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    const QStringList lists =
        QStringList{QStringLiteral("SHA512SUMS"), QStringLiteral("SHA256SUMS"),
                    QStringLiteral("sha256sums.txt"), QStringLiteral("CHECKSUM")} +
        releaseLists;
    for (const QString& candidate : forThisImage + lists) {
        const std::optional<QString> text = trustedText(folder.filePath(candidate));
        if (!text)
            continue;
        if (std::optional<PublishedChecksum> published =
                publishedChecksum(*text, imageName, forThisImage.contains(candidate)))
            return ChecksumFile{candidate, *published};
    }
    return std::nullopt;
}

} // namespace emberlin
