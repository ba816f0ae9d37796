#include "ImageDigest.h"

#include <QCryptographicHash>
#include <QFile>

namespace emberlin {

namespace {

QString sha256Of(const QString& path, const std::atomic<bool>& cancelled) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray block(1 << 20, Qt::Uninitialized);
    while (!cancelled) {
        const qint64 got = file.read(block.data(), block.size());
        if (got < 0)
            return {};
        if (got == 0)
            return QString::fromLatin1(hash.result().toHex());
        hash.addData(QByteArrayView(block.constData(), got));
    }
    return {};
}

} // namespace

ImageDigest::ImageDigest(QObject* parent)
    : QObject(parent) {}

ImageDigest::~ImageDigest() {
    cancel();
}

void ImageDigest::cancel() {
    if (cancelled_)
        *cancelled_ = true;
    if (worker_)
        worker_->wait();
    worker_.reset();
    cancelled_.reset();
}

void ImageDigest::start(const QString& path) {
    cancel();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    cancelled_ = cancelled;
    // This object outlives the thread (cancel waits for it); the result is
    // delivered on the window's thread, and dropped if cancelled meanwhile.
    worker_.reset(QThread::create([this, path, cancelled] {
        const QString sha256 = sha256Of(path, *cancelled);
        if (*cancelled)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, path, sha256, cancelled] {
                if (!*cancelled)
                    emit computed(path, sha256);
            },
            Qt::QueuedConnection);
    }));
    worker_->start(QThread::LowestPriority);
}

} // namespace emberlin
