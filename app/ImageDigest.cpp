#include "ImageDigest.h"

#include "RegularFile.h"

#include <QByteArray>
#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <openssl/evp.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>

namespace emberlin {

// What a computation and its owner share: the owner cancels it under the
// mutex, and the worker delivers its result under it only while it is not
// cancelled, so nothing reaches an owner that has gone.
struct ImageDigest::Run {
    std::mutex mutex;
    std::atomic<bool> cancelled = false;
};

QString sha256OfImage(const QString& path, const std::atomic<bool>& cancelled) {
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

ImageDigest::ImageDigest(QObject* parent)
    : QObject(parent) {}

ImageDigest::~ImageDigest() {
    cancel();
}

void ImageDigest::cancel() {
    const std::shared_ptr<Run> run = std::exchange(run_, nullptr);
    if (!run)
        return;
    const std::lock_guard lock(run->mutex);
    run->cancelled = true;
}

void ImageDigest::start(const QString& path) {
    cancel();
    auto run = std::make_shared<Run>();
    run_ = run;
    const auto deliver = [this, path, run](const QString& sha256) {
        // On the window's thread, and dropped if cancelled meanwhile.
        QMetaObject::invokeMethod(
            this,
            [this, path, sha256, run] {
                if (!run->cancelled)
                    emit computed(path, sha256);
            },
            Qt::QueuedConnection);
    };
    try {
        // Detached: nothing ever waits for it, and it reaches this object only
        // under the lock, while not cancelled.
        std::thread([path, run, deliver] {
            const QString sha256 = sha256OfImage(path, run->cancelled);
            const std::lock_guard lock(run->mutex);
            if (!run->cancelled)
                deliver(sha256);
        }).detach();
    } catch (const std::system_error&) {
        deliver({}); // no thread to be had: the digest is unknown
    }
}

} // namespace emberlin
