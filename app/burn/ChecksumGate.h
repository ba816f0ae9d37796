#pragma once

#include "app/burn/ChecksumFile.h"
#include "app/records/BurnRecord.h"
#include "app/records/ImageDigest.h"

#include <QObject>
#include <QString>
#include <optional>

namespace emberlin {

class Alerts;

// An image compared with the checksum published beside it.
struct ChecksumComparison {
    QString imagePath;
    ChecksumFile file;
    // The image's digest of the published kind, and its SHA-256 from the same
    // read (what the tool reports of the bytes it burns); empty when it could
    // not be read (the tool then says why).
    QString digest;
    QString sha256;
    bool matches = false;

    // What the burn's record keeps of it.
    ChecksumCheck record(bool burnedAnyway) const;
};

// Before either window writes anything: the checksum file that names the
// image, the image's digest computed on a worker thread so the window never
// waits, and the comparison.
class ChecksumGate final : public QObject {
    Q_OBJECT

public:
    explicit ChecksumGate(QObject* parent = nullptr);

    // Whether a checksum file names the image: then it is being compared, and
    // compared() follows unless cancelled.
    bool start(const QString& imagePath);
    void cancel();
    bool running() const { return file_.has_value(); }
    // The file being compared, while running.
    QString fileName() const { return file_ ? file_->fileName : QString(); }

signals:
    void compared(const ChecksumComparison& comparison);

private:
    void imageDigested(const QString& imagePath, const QString& sha256, const QString& sha512);

    ImageDigest digest_;
    std::optional<ChecksumFile> file_;
};

// The alert of a mismatch, the same in every window; whether the person chose
// to burn anyway (Return does not).
bool askBurnAnyway(Alerts& alerts, const ChecksumComparison& comparison);
// The status of a burn the person stopped at that alert.
QString notBurnedStatus(const ChecksumComparison& comparison);
// The status while the image is being compared.
QString checkingStatus(const QString& imagePath, const QString& checksumFileName);

} // namespace emberlin
