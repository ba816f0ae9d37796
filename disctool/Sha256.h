// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "digest/Hash.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace disctool {

// A running SHA-256 (digest::Hash) of bytes that may arrive on another
// thread than the one that asks for the digest. The hashing runs on a thread
// of its own, beside the writing or reading that feeds it: on a fast target
// it would otherwise halve the throughput.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void add(std::span<const std::byte> bytes);
    std::int64_t bytesAdded() const;
    // Lower-case hex of what was added so far; empty if libcrypto failed.
    std::string hexDigest();

private:
    using Block = std::vector<std::byte>;

    void hashBlocks();
    // With the lock held: queues the block being filled, waiting for room.
    void handOver(std::unique_lock<std::mutex>& lock);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Block filling_;
    std::deque<Block> queued_;
    std::vector<Block> spare_;
    bool hashing_ = false;
    bool stopping_ = false;
    std::int64_t bytes_ = 0;
    digest::Hash hash_{digest::Algorithm::Sha256}; // the hashing thread's while hashing_
    std::thread hasher_;
};

} // namespace disctool
