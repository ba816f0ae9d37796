#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

namespace emberlin {

// The SHA-256 of an image file, read on the calling thread with OpenSSL (the
// processor's SHA instructions where it has them): lower-case hex, empty when
// the file is not a regular file, cannot be read or `cancelled` became true.
QString sha256OfImage(const QString& path, const std::atomic<bool>& cancelled);

// The SHA-256 of an image file, read on a worker thread so the window never
// waits; only a regular file is read. A new computation cancels the running
// one without waiting for it: a read that hangs (a stalled network share)
// holds up nothing but its own thread, which ends by itself and whose result
// is dropped. The object's end gives cancelled computations a moment to stop.
class ImageDigest final : public QObject {
    Q_OBJECT

public:
    explicit ImageDigest(QObject* parent = nullptr);
    ~ImageDigest() override;

    void start(const QString& path);
    void cancel();

signals:
    // Lower-case hex; empty when the file could not be read.
    void computed(const QString& path, const QString& sha256);

private:
    struct Run;
    std::shared_ptr<Run> run_;
    std::vector<std::weak_ptr<Run>> runs_; // every computation that may still run
};

} // namespace emberlin
