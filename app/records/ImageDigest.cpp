#include "app/records/ImageDigest.h"

#include "app/records/RegularFile.h"

#include <QByteArray>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
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
// cancelled, so nothing reaches an owner that has gone; the worker says
// under it that it has finished.
struct ImageDigest::Run {
    std::mutex mutex;
    std::condition_variable ended;
    std::atomic<bool> cancelled = false;
    bool finished = false;
};

namespace {

using HashContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

HashContext hashWith(const EVP_MD* algorithm) {
    HashContext hash(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (hash && EVP_DigestInit_ex(hash.get(), algorithm, nullptr) != 1)
        hash.reset();
    return hash;
}

QString finalHex(EVP_MD_CTX* hash) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(hash, digest, &length) != 1)
        return {};
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length)).toHex());
}

} // namespace

ImageDigests digestsOfImage(const QString& path, bool withSha512,
                            const std::atomic<bool>& cancelled) {
    QString problem;
    const posix::FileDescriptor file = openRegularFile(path, problem);
    HashContext sha256 = hashWith(EVP_sha256());
    HashContext sha512 =
        withSha512 ? hashWith(EVP_sha512()) : HashContext(nullptr, &EVP_MD_CTX_free);
    if (!file || !sha256 || (withSha512 && !sha512))
        return {};
    QByteArray block(4 << 20, Qt::Uninitialized);
    while (!cancelled) {
        const ssize_t got = ::read(file.get(), block.data(), static_cast<size_t>(block.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {};
        if (got == 0)
            return {finalHex(sha256.get()), sha512 ? finalHex(sha512.get()) : QString()};
        const auto size = static_cast<size_t>(got);
        if (EVP_DigestUpdate(sha256.get(), block.constData(), size) != 1 ||
            (sha512 && EVP_DigestUpdate(sha512.get(), block.constData(), size) != 1))
            return {};
    }
    return {};
}

QString sha256OfImage(const QString& path, const std::atomic<bool>& cancelled) {
    return digestsOfImage(path, false, cancelled).sha256;
}

ImageDigest::ImageDigest(QObject* parent)
    : QObject(parent) {}

ImageDigest::~ImageDigest() {
    cancel();
    // A cancelled computation stops after the block it is reading, moments
    // later: wait that long, so that no thread still hashes while the process
    // ends and its libraries go. One stuck in a read that hangs (a stalled
    // network share) is left to itself.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (const std::weak_ptr<Run>& started : runs_) {
        if (const std::shared_ptr<Run> run = started.lock()) {
            std::unique_lock lock(run->mutex);
            run->ended.wait_until(lock, deadline, [&run] { return run->finished; });
        }
    }
}

void ImageDigest::cancel() {
    const std::shared_ptr<Run> run = std::exchange(run_, nullptr);
    if (!run)
        return;
    const std::lock_guard lock(run->mutex);
    run->cancelled = true;
}

void ImageDigest::start(const QString& path, bool withSha512) {
    cancel();
    auto run = std::make_shared<Run>();
    run_ = run;
    std::erase_if(runs_, [](const std::weak_ptr<Run>& started) { return started.expired(); });
    runs_.push_back(run);
    const auto deliver = [this, path, run](const ImageDigests& digests) {
        // On the window's thread, and dropped if cancelled meanwhile.
        QMetaObject::invokeMethod(
            this,
            [this, path, digests, run] {
                if (!run->cancelled)
                    emit computed(path, digests.sha256, digests.sha512);
            },
            Qt::QueuedConnection);
    };
    try {
        // Detached: the window never waits for it, and it reaches this object
        // only under the lock, while not cancelled.
        std::thread([path, withSha512, run, deliver] {
            const ImageDigests digests = digestsOfImage(path, withSha512, run->cancelled);
            const std::lock_guard lock(run->mutex);
            if (!run->cancelled)
                deliver(digests);
            run->finished = true;
            run->ended.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        deliver({}); // no thread to be had: the digest is unknown
    }
}

} // namespace emberlin
