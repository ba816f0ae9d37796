#include "app/records/ImageDigest.h"

#include "app/records/RegularFile.h"
#include "digest/Hash.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

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

ImageDigests digestsOfImage(const QString& path, bool withSha512,
                            const std::atomic<bool>& cancelled) {
    QString problem;
    const posix::FileDescriptor file = openRegularFile(path, problem);
    if (!file)
        return {};
    digest::Hash sha256(digest::Algorithm::Sha256);
    std::optional<digest::Hash> sha512;
    if (withSha512)
        sha512.emplace(digest::Algorithm::Sha512);
    std::vector<std::byte> block(4 << 20);
    while (!cancelled) {
        const ssize_t got = ::read(file.get(), block.data(), block.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {};
        if (got == 0)
            return {QString::fromStdString(sha256.hexDigest()),
                    sha512 ? QString::fromStdString(sha512->hexDigest()) : QString()};
        const auto read = std::span(block).first(static_cast<std::size_t>(got));
        sha256.add(read);
        if (sha512)
            sha512->add(read);
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
