#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <thread>

namespace emberlin {

// The SHA-256 of an image, computed on a worker thread with OpenSSL (the
// processor's SHA instructions where it has them), so the window never waits.
// Cancelling, starting anew or the object's end stops the running
// computation within one block read and drops its result.
class ImageChecksum final : public QObject {
    Q_OBJECT

public:
    explicit ImageChecksum(QObject* parent = nullptr);
    ~ImageChecksum() override;

    void start(const QString& path);
    void cancel();

    // On the calling thread, for the benchmark: empty when the file cannot be
    // read or the computation was cancelled.
    static QString sha256Of(const QString& path, const std::atomic<bool>& cancelled);

signals:
    // Lower-case hex; empty when the image could not be read.
    void computed(const QString& path, const QString& sha256);

private:
    std::atomic<bool> cancelled_ = false;
    std::thread worker_;
    quint64 generation_ = 0;
};

} // namespace emberlin
