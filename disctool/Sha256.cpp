// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/Sha256.h"

#include "disctool/WorkerThread.h"

#include <algorithm>

namespace disctool {

namespace {

constexpr std::size_t blockBytes = 1024 * 1024;
// Blocks waiting for the hasher at most: the memory it may hold up.
constexpr std::size_t queueLimit = 4;

} // namespace

Sha256::Sha256() {
    filling_.reserve(blockBytes);
    hasher_ = workerThread([this] { hashBlocks(); });
}

Sha256::~Sha256() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    hasher_.join();
}

void Sha256::add(std::span<const std::byte> bytes) {
    std::unique_lock lock(mutex_);
    bytes_ += static_cast<std::int64_t>(bytes.size());
    while (!bytes.empty()) {
        const std::size_t taken = std::min(bytes.size(), blockBytes - filling_.size());
        filling_.insert(filling_.end(), bytes.begin(), bytes.begin() + taken);
        bytes = bytes.subspan(taken);
        if (filling_.size() == blockBytes) {
            handOver(lock);
        }
    }
}

void Sha256::handOver(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [this] { return queued_.size() < queueLimit; });
    queued_.push_back(std::move(filling_));
    filling_ = Block();
    if (!spare_.empty()) {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
    }
    filling_.clear();
    filling_.reserve(blockBytes);
    changed_.notify_all();
}

void Sha256::hashBlocks() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queued_.empty(); });
        if (queued_.empty()) {
            return;
        }
        Block block = std::move(queued_.front());
        queued_.pop_front();
        hashing_ = true;
        lock.unlock();
        hash_.add(block);
        lock.lock();
        hashing_ = false;
        spare_.push_back(std::move(block));
        changed_.notify_all();
    }
}

std::int64_t Sha256::bytesAdded() const {
    const std::lock_guard lock(mutex_);
    return bytes_;
}

std::string Sha256::hexDigest() {
    std::unique_lock lock(mutex_);
    if (!filling_.empty()) {
        handOver(lock);
    }
    changed_.wait(lock, [this] { return queued_.empty() && !hashing_; });
    return hash_.hexDigest();
}

} // namespace disctool
