#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

namespace emberlin {

// An image file's digests: lower-case hex, empty when the file is not a
// regular file, cannot be read or the computation was cancelled.
struct ImageDigests {
    QString sha256;
    QString sha512; // only where asked for
};

// The digests of an image file, read once on the calling thread with OpenSSL
// (the processor's SHA instructions where it has them), until `cancelled`
// becomes true.
ImageDigests digestsOfImage(const QString& path, bool withSha512,
                            const std::atomic<bool>& cancelled);
QString sha256OfImage(const QString& path, const std::atomic<bool>& cancelled);

// The SHA-256 of an image file, and its SHA-512 where asked for, read on a
// worker thread so the window never waits; only a regular file is read. A new computation cancels
// the running one without waiting for it: a read that hangs (a stalled network share) holds up
// nothing but its own thread, which ends by itself and whose result is dropped. The object's end
// gives cancelled computations a moment to stop.
class ImageDigest final : public QObject {
    Q_OBJECT

public:
    explicit ImageDigest(QObject* parent = nullptr);
    ~ImageDigest() override;

    void start(const QString& path, bool withSha512 = false);
    void cancel();

signals:
    // Lower-case hex; empty when the file could not be read.
    void computed(const QString& path, const QString& sha256, const QString& sha512);

private:
    struct Run;
    std::shared_ptr<Run> run_;
    std::vector<std::weak_ptr<Run>> runs_; // every computation that may still run
};

} // namespace emberlin
