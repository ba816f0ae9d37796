// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/BlockWrites.h"

#include "disctool/PositionedIo.h"
#include "disctool/WorkerThread.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <span>

namespace disctool {

namespace {

constexpr int writesInFlight = 2;
// Blocks being filled or waiting while the others are written.
constexpr int blocksAhead = 2;

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
    changed_.wait(lock, [this] { return unwritten_.empty(); });
    // What reads the file next (a verify) reads through the page cache.
    endDirectWrites();
    return failure_;
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
