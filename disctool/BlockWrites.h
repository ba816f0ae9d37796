// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/AlignedBuffer.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace disctool {

// Writes blocks to a file at their offsets on threads of its own, so that the
// next block is read and hashed while the disk takes the last ones. Where the
// file system allows, the writes go past the page cache (O_DIRECT): copying
// into the cache and writing it back otherwise takes as much processor time
// as expanding a compressed image, and two writes in flight keep the disk
// busier than one. Every 64 MiB the disk is told to make what it took
// lasting, while the next blocks are read. The descriptor is borrowed.
class BlockWrites {
public:
    BlockWrites(int fd, std::size_t blockBytes);
    ~BlockWrites();
    BlockWrites(const BlockWrites&) = delete;
    BlockWrites& operator=(const BlockWrites&) = delete;

    // A block to fill, once one is free: at most a few are in use at once.
    AlignedBuffer takeBlock();
    // Queues the first `bytes` of `block` (a multiple of 2048) for writing at
    // `offset`. False once a write has failed: finish() tells why.
    bool submit(AlignedBuffer block, std::size_t bytes, std::int64_t offset);
    // Waits for every queued write and gives the descriptor its flags back.
    // Empty when all of them reached the file, else why not.
    std::string finish();
    // Once finished: empty when the file is on the disk (fsync), else why not.
    std::string sync() const;
    // The bytes written from the start of the file with no gap.
    std::int64_t bytesWritten() const { return written_.load(); }

private:
    struct Write {
        AlignedBuffer block;
        std::size_t bytes;
        std::int64_t offset;
    };

    void writeQueued();
    void flushWritten();
    // Empty when written, else why not.
    std::string put(const Write& write);
    void endDirectWrites();

    const int fd_;
    const int flags_;
    std::atomic<bool> direct_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<AlignedBuffer> free_;
    std::deque<Write> queued_;
    // The offsets queued or being written, and where the queued bytes end.
    std::set<std::int64_t> unwritten_;
    std::int64_t queuedEnd_ = 0;
    std::atomic<std::int64_t> written_{0};
    std::string failure_;
    bool stopping_ = false;
    bool finishing_ = false;
    bool flushing_ = false;
    std::int64_t flushedTo_ = 0;
    std::vector<std::thread> writers_;
    std::thread flusher_;
};

} // namespace disctool
