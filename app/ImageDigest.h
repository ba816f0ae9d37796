#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <memory>

namespace emberlin {

// The SHA-256 of an image file, read on a worker thread at low priority so
// the window never waits. A new computation, or the object's end, cancels
// the running one and waits for its thread.
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
    std::unique_ptr<QThread> worker_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
};

} // namespace emberlin
