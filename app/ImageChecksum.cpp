#include "ImageChecksum.h"

#include "RegularFile.h"

#include <QByteArray>
#include <cerrno>
#include <memory>
#include <openssl/evp.h>
#include <unistd.h>

namespace emberlin {

ImageChecksum::ImageChecksum(QObject* parent)
    : QObject(parent) {}

ImageChecksum::~ImageChecksum() {
    cancel();
}

QString ImageChecksum::sha256Of(const QString& path, const std::atomic<bool>& cancelled) {
    QString problem;
    const FileDescriptor file = openRegularFile(path, problem);
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> hash(EVP_MD_CTX_new(),
                                                                       &EVP_MD_CTX_free);
    if (!file || !hash || EVP_DigestInit_ex(hash.get(), EVP_sha256(), nullptr) != 1)
        return {};
    QByteArray block(4 << 20, Qt::Uninitialized);
    while (!cancelled) {
        const ssize_t got = ::read(file.get(), block.data(), static_cast<size_t>(block.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 || (got > 0 && EVP_DigestUpdate(hash.get(), block.constData(),
                                                    static_cast<size_t>(got)) != 1))
            return {};
        if (got == 0) {
            unsigned char digest[EVP_MAX_MD_SIZE];
            unsigned int length = 0;
            if (EVP_DigestFinal_ex(hash.get(), digest, &length) != 1)
                return {};
            return QString::fromLatin1(
                QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length))
                    .toHex());
        }
    }
    return {};
}

void ImageChecksum::cancel() {
    ++generation_;
    cancelled_ = true;
    if (worker_.joinable())
        worker_.join();
}

void ImageChecksum::start(const QString& path) {
    cancel();
    cancelled_ = false;
    const quint64 generation = generation_;
    worker_ = std::thread([this, path, generation] {
        const QString sha256 = sha256Of(path, cancelled_);
        if (cancelled_)
            return;
        // Dropped if a cancel or a new start came meanwhile.
        QMetaObject::invokeMethod(
            this,
            [this, path, sha256, generation] {
                if (generation == generation_)
                    emit computed(path, sha256);
            },
            Qt::QueuedConnection);
    });
}

} // namespace emberlin
