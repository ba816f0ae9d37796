// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/BlockWrites.h"

#include "disctool/PositionedIo.h"
#include "disctool/WorkerThread.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <span>
#include <unistd.h>

namespace disctool {

namespace {

constexpr int writesInFlight = 2;
// Blocks being filled or waiting while the others are written: enough to
// keep reading and hashing while a flush holds the writes up.
constexpr int blocksAhead = 16;
// What the disk is told to make lasting at a time, so that it does so while
// the rest is read, instead of in one long wait at the end.
constexpr std::int64_t flushBytes = 64 * 1024 * 1024;

// Empty once what was written to `fd` is on the disk, else why not. What
// takes no sync (a pipe, a character device) has nothing to wait for.
std::string synced(int (*sync)(int), int fd) {
    if (sync(fd) == 0 || errno == EINVAL) {
        return {};
    }
    return std::string("Cannot write the file to the disk: ") + std::strerror(errno);
}

} // namespace

BlockWrites::BlockWrites(int fd, std::size_t blockBytes)
    : fd_(fd)
    , flags_(::fcntl(fd, F_GETFL))
    , direct_(flags_ >= 0 && ::fcntl(fd, F_SETFL, flags_ | O_DIRECT) == 0) {
    for (int i = 0; i < writesInFlight + blocksAhead; ++i) {
        free_.emplace_back(blockBytes);
    }
    for (int i = 0; i < writesInFlight; ++i) {
        writers_.push_back(workerThread([this] { writeQueued(); }));
    }
    flusher_ = workerThread([this] { flushWritten(); });
}

BlockWrites::~BlockWrites() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& writer : writers_) {
        writer.join();
    }
    flusher_.join();
    endDirectWrites();
}

void BlockWrites::endDirectWrites() {
    if (direct_.exchange(false)) {
        ::fcntl(fd_, F_SETFL, flags_);
    }
}

AlignedBuffer BlockWrites::takeBlock() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty(); });
    AlignedBuffer block = std::move(free_.back());
    free_.pop_back();
    return block;
}

bool BlockWrites::submit(AlignedBuffer block, std::size_t bytes, std::int64_t offset) {
    {
        const std::lock_guard lock(mutex_);
        if (!failure_.empty()) {
            free_.push_back(std::move(block));
            return false;
        }
        unwritten_.insert(offset);
        queuedEnd_ = offset + static_cast<std::int64_t>(bytes);
        queued_.push_back({std::move(block), bytes, offset});
    }
    changed_.notify_all();
    return true;
}

std::string BlockWrites::finish() {
    std::unique_lock lock(mutex_);
    finishing_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return unwritten_.empty() && !flushing_; });
    // What reads the file next (a verify) reads through the page cache.
    endDirectWrites();
    return failure_;
}

std::string BlockWrites::sync() const {
    return synced(::fsync, fd_);
}

void BlockWrites::writeQueued() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queued_.empty(); });
        if (queued_.empty()) {
            return;
        }
        Write write = std::move(queued_.front());
        queued_.pop_front();
        // After a failure the rest is only given back: the file is spoilt.
        const bool wanted = failure_.empty();
        lock.unlock();
        const std::string failure = wanted ? put(write) : std::string();
        lock.lock();
        unwritten_.erase(write.offset);
        if (failure_.empty()) {
            failure_ = failure;
        }
        // Past a failed block, nothing counts as written.
        if (failure_.empty()) {
            written_.store(unwritten_.empty() ? queuedEnd_ : *unwritten_.begin());
        }
        free_.push_back(std::move(write.block));
        changed_.notify_all();
    }
}

void BlockWrites::flushWritten() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] {
            return stopping_ || finishing_ || written_.load() - flushedTo_ >= flushBytes;
        });
        if (stopping_ || finishing_) {
            return;
        }
        const std::int64_t target = written_.load();
        flushing_ = true;
        lock.unlock();
        std::string failure = synced(::fdatasync, fd_);
        lock.lock();
        flushing_ = false;
        flushedTo_ = target;
        // The error is told once per descriptor: the last sync would miss it.
        if (failure_.empty()) {
            failure_ = std::move(failure);
        }
        changed_.notify_all();
    }
}

std::string BlockWrites::put(const Write& write) {
    const bool direct = direct_.load();
    const std::span<const std::byte> bytes(write.block.data(), write.bytes);
    if (writeFully(fd_, bytes, write.offset)) {
        if (!direct) {
            // Start putting the block on the disk now: the fsync at the end
            // then finds little left to do.
            ::sync_file_range(fd_, write.offset, static_cast<off_t>(write.bytes),
                              SYNC_FILE_RANGE_WRITE);
        }
        return {};
    }
    if (direct && errno == EINVAL) {
        // The file system takes no direct write of this size or place (a
        // last block on a disk of 4096-byte sectors): the rest goes through
        // the page cache.
        endDirectWrites();
        return put(write);
    }
    return std::string("Cannot write the file: ") + std::strerror(errno);
}

} // namespace disctool
