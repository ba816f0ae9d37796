#include "app/burn/ChecksumGate.h"

#include "app/burn/Alerts.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace emberlin {

ChecksumCheck ChecksumComparison::record(bool burnedAnyway) const {
    return {file.fileName, file.published.algorithmName(), sha256, burnedAnyway};
}

ChecksumGate::ChecksumGate(QObject* parent)
    : QObject(parent) {
    connect(&digest_, &ImageDigest::computed, this, &ChecksumGate::imageDigested);
}

bool ChecksumGate::start(const QString& imagePath) {
    cancel();
    file_ = findChecksumFile(imagePath);
    if (file_)
        digest_.start(imagePath,
                      file_->published.algorithm == PublishedChecksum::Algorithm::Sha512);
    return file_.has_value();
}

void ChecksumGate::cancel() {
    digest_.cancel();
    file_.reset();
}

void ChecksumGate::imageDigested(const QString& imagePath, const QString& sha256,
                                 const QString& sha512) {
    if (!file_)
        return;
    const ChecksumFile file = *std::exchange(file_, std::nullopt);
    const QString& digest =
        file.published.algorithm == PublishedChecksum::Algorithm::Sha512 ? sha512 : sha256;
    emit compared(
        {imagePath, file, digest, sha256, !digest.isEmpty() && digest == file.published.digest});
}

namespace {

QString fileNameOf(const QString& path) {
    return QFileInfo(QDir::cleanPath(path)).fileName();
}

} // namespace

bool askBurnAnyway(Alerts& alerts, const ChecksumComparison& comparison) {
    constexpr int burnAnyway = 0;
    constexpr int doNotBurn = 1;
    const QString name = fileNameOf(comparison.imagePath);
    return alerts.runCritical(
               ChecksumGate::tr("The image does not match its checksum"),
               ChecksumGate::tr("The %1 of “%2” is %3, but %4 gives %5. The download may be "
                                "damaged or not the one published.")
                   .arg(comparison.file.published.algorithmName(), name, comparison.digest,
                        comparison.file.fileName, comparison.file.published.digest),
               {ChecksumGate::tr("Burn Anyway"), ChecksumGate::tr("Don't Burn")},
               doNotBurn) == burnAnyway;
}

QString notBurnedStatus(const ChecksumComparison& comparison) {
    return ChecksumGate::tr("Not burned - “%1” does not match %2.")
        .arg(fileNameOf(comparison.imagePath), comparison.file.fileName);
}

QString checkingStatus(const QString& imagePath, const QString& checksumFileName) {
    return ChecksumGate::tr("Checking “%1” against %2...")
        .arg(fileNameOf(imagePath), checksumFileName);
}

} // namespace emberlin
