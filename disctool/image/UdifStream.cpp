// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/UdifStream.h"

#include "disctool/WorkerThread.h"
#include "disctool/image/ChunkDecoder.h"
#include "disctool/image/UdifChecksum.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

namespace disctool {

namespace {

constexpr std::size_t readBlockBytes = 1024 * 1024;
// Runs of zeros take no memory, but each is a queued entry.
constexpr std::size_t mostQueuedChunks = 4096;

std::uint32_t crcOf(std::span<const std::byte> bytes) {
    return crc32Continued(0, bytes);
}

// The CRC32 of `length` zero bytes, by doubling.
std::uint32_t crcOfZeros(std::int64_t length) {
    const std::byte zero{0};
    uLong power = crcOf(std::span(&zero, 1));
    std::int64_t powerLength = 1;
    uLong result = 0;
    for (; length > 0; length >>= 1) {
        if ((length & 1) != 0) {
            result = crc32_combine(result, power, powerLength);
        }
        power = crc32_combine(power, power, powerLength);
        powerLength *= 2;
    }
    return static_cast<std::uint32_t>(result);
}

std::string damaged(const std::string& what) {
    return "The image is damaged (" + what + "). Download or copy it again.";
}

} // namespace

std::string UdifStream::damagedChunk(const UdifChunk& chunk) {
    return damaged("the chunk at byte " + std::to_string(chunk.fileOffset) +
                   " of the file does not expand to its sectors");
}

UdifStream::UdifStream(int fd, std::shared_ptr<const UdifLayout> layout,
                       std::shared_ptr<const std::vector<std::byte>> tail, std::int64_t tailStart,
                       const UdifTrailer& trailer, std::shared_ptr<Sha256> fileDigest)
    : fd_(::fcntl(fd, F_DUPFD_CLOEXEC, 0))
    , layout_(std::move(layout))
    , tail_(std::move(tail))
    , tailStart_(tailStart)
    , trailer_(trailer)
    , fileDigest_(std::move(fileDigest))
    , dataForkCrc_(crcOf({})) {
    ::posix_fadvise(fd_.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    reader_ = workerThread([this] { readFile(); });
    const unsigned decoders = std::max(1U, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < decoders; ++i) {
        decoders_.push_back(workerThread([this] { decode(); }));
    }
}

UdifStream::~UdifStream() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    reader_.join();
    for (std::thread& decoder : decoders_) {
        decoder.join();
    }
}

std::span<std::byte> UdifStream::Buffer::fitted(std::size_t length) {
    if (capacity < length) {
        bytes = std::make_unique_for_overwrite<std::byte[]>(length);
        capacity = length;
    }
    return {bytes.get(), length};
}

std::int64_t UdifStream::costOf(const Piece& piece) const {
    const UdifChunk& chunk = layout_->chunks[piece.index];
    return chunk.coding == ChunkCoding::Zeros ? 0 : chunk.fileLength + chunk.imageLength;
}

bool UdifStream::readFileRange(std::int64_t end, Buffer* into) {
    const auto dataForkStart = static_cast<std::int64_t>(trailer_.dataForkOffset);
    const std::int64_t start = filePosition_;
    const std::span<std::byte> range = into != nullptr
                                           ? into->fitted(static_cast<std::size_t>(end - start))
                                           : std::span<std::byte>();
    block_.resize(readBlockBytes);
    while (filePosition_ < end) {
        const std::span<std::byte> target =
            into != nullptr ? range.subspan(static_cast<std::size_t>(filePosition_ - start))
                            : std::span(block_).first(static_cast<std::size_t>(
                                  std::min<std::int64_t>(readBlockBytes, end - filePosition_)));
        ssize_t got = 0;
        do {
            got = ::pread(fd_.get(), target.data(), target.size(), filePosition_);
        } while (got < 0 && errno == EINTR);
        if (got <= 0) {
            return false;
        }
        const std::span<const std::byte> bytes = target.first(static_cast<std::size_t>(got));
        if (fileDigest_) {
            fileDigest_->add(bytes);
        }
        if (filePosition_ + got > dataForkStart) {
            const std::int64_t skip = std::max<std::int64_t>(0, dataForkStart - filePosition_);
            dataForkCrc_ =
                crc32Continued(dataForkCrc_, bytes.subspan(static_cast<std::size_t>(skip)));
        }
        filePosition_ += got;
    }
    return true;
}

UdifStream::Buffer UdifStream::spareBuffer() {
    if (spare_.empty()) {
        return {};
    }
    Buffer buffer = std::move(spare_.back());
    spare_.pop_back();
    return buffer;
}

void UdifStream::recycle(Buffer& buffer) {
    if (buffer.capacity > 0) {
        spare_.push_back(std::move(buffer));
    }
}

void UdifStream::readFile() {
    const std::string unreadable =
        "Cannot read the image: it ended early or changed while it was read";
    for (std::size_t index = 0; index < layout_->chunks.size(); ++index) {
        auto piece = std::make_shared<Piece>();
        piece->index = index;
        const UdifChunk& chunk = layout_->chunks[index];
        const bool coded = chunk.coding != ChunkCoding::Zeros;
        const std::int64_t cost = costOf(*piece);
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] {
                return stopping_ || ordered_.empty() ||
                       (inFlight_ + cost <= mostInFlight && ordered_.size() < mostQueuedChunks);
            });
            if (stopping_) {
                return;
            }
            if (coded) {
                piece->coded = spareBuffer();
            }
        }
        if (coded) {
            if (!readFileRange(chunk.fileOffset, nullptr) ||
                !readFileRange(chunk.fileOffset + chunk.fileLength, &piece->coded)) {
                finishReading(unreadable);
                return;
            }
        }
        {
            const std::lock_guard lock(mutex_);
            piece->ready = !coded;
            inFlight_ += cost;
            ordered_.push_back(piece);
            if (coded) {
                toDecode_.push_back(piece);
            }
        }
        changed_.notify_all();
    }
    if (!readFileRange(tailStart_, nullptr)) {
        finishReading(unreadable);
        return;
    }
    if (fileDigest_) {
        fileDigest_->add(*tail_);
    }
    finishReading(trailer_.dataForkCrc32 && *trailer_.dataForkCrc32 != dataForkCrc_
                      ? damaged("its data does not match its checksum")
                      : std::string());
}

void UdifStream::finishReading(std::string failure) {
    {
        const std::lock_guard lock(mutex_);
        readingDone_ = true;
        readingFailure_ = std::move(failure);
    }
    changed_.notify_all();
}

void UdifStream::decode() {
    for (;;) {
        std::shared_ptr<Piece> piece;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !toDecode_.empty(); });
            if (stopping_) {
                return;
            }
            piece = std::move(toDecode_.front());
            toDecode_.pop_front();
            piece->expanded = spareBuffer();
        }
        const UdifChunk& chunk = layout_->chunks[piece->index];
        const std::span<std::byte> expanded =
            piece->expanded.fitted(static_cast<std::size_t>(chunk.imageLength));
        const bool intact =
            expandChunk(chunk.coding,
                        piece->coded.fitted(static_cast<std::size_t>(chunk.fileLength)), expanded);
        const std::uint32_t crc = intact ? crcOf(expanded) : 0;
        {
            const std::lock_guard lock(mutex_);
            recycle(piece->coded);
            piece->intact = intact;
            piece->crc32 = crc;
            piece->ready = true;
        }
        changed_.notify_all();
    }
}

bool UdifStream::takeNext(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [this] {
        return !readingFailure_.empty() || (!ordered_.empty() && ordered_.front()->ready);
    });
    if (!readingFailure_.empty()) {
        failure_ = readingFailure_;
        return false;
    }
    current_ = ordered_.front();
    currentDelivered_ = 0;
    const std::vector<UdifChunk>& chunks = layout_->chunks;
    const std::size_t index = current_->index;
    const UdifChunk& chunk = chunks[index];
    if (!current_->intact) {
        failure_ = damagedChunk(chunk);
        return false;
    }
    if (chunk.table >= 0) {
        if (const std::optional<std::uint32_t> expected =
                layout_->tableCrc32s[static_cast<std::size_t>(chunk.table)]) {
            if (index == 0 || chunks[index - 1].table != chunk.table) {
                tableCrc_ = crcOf({});
            }
            if (chunk.checksummed) {
                const std::uint32_t crc = chunk.coding == ChunkCoding::Zeros
                                              ? crcOfZeros(chunk.imageLength)
                                              : current_->crc32;
                tableCrc_ =
                    static_cast<std::uint32_t>(crc32_combine(tableCrc_, crc, chunk.imageLength));
            }
            if ((index + 1 == chunks.size() || chunks[index + 1].table != chunk.table) &&
                tableCrc_ != *expected) {
                failure_ = damaged("a partition's data does not match its checksum");
                return false;
            }
        }
    }
    if (index + 1 == chunks.size()) {
        // The last bytes wait for the whole file to have been read and checked.
        changed_.wait(lock, [this] { return readingDone_; });
        if (!readingFailure_.empty()) {
            failure_ = readingFailure_;
            return false;
        }
    }
    return true;
}

std::int64_t UdifStream::read(std::span<std::byte> buffer) {
    if (!failure_.empty()) {
        return -1;
    }
    std::size_t copied = 0;
    while (copied < buffer.size() && delivered_ < layout_->imageBytes) {
        if (!current_) {
            std::unique_lock lock(mutex_);
            if (!takeNext(lock)) {
                return -1;
            }
        }
        const UdifChunk& chunk = layout_->chunks[current_->index];
        const auto length = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size() - copied),
                                   chunk.imageLength - currentDelivered_));
        const std::span<std::byte> part = buffer.subspan(copied, length);
        if (chunk.coding == ChunkCoding::Zeros) {
            std::fill(part.begin(), part.end(), std::byte{0});
        } else {
            std::memcpy(part.data(), current_->expanded.bytes.get() + currentDelivered_, length);
        }
        copied += length;
        currentDelivered_ += static_cast<std::int64_t>(length);
        delivered_ += static_cast<std::int64_t>(length);
        if (currentDelivered_ == chunk.imageLength) {
            {
                const std::lock_guard lock(mutex_);
                inFlight_ -= costOf(*current_);
                recycle(current_->expanded);
                ordered_.pop_front();
                // The stream may outlive its use (a verify reads another).
                if (delivered_ == layout_->imageBytes) {
                    spare_.clear();
                }
            }
            current_.reset();
            changed_.notify_all();
        }
    }
    return static_cast<std::int64_t>(copied);
}

std::string UdifStream::failure() const {
    return failure_;
}

} // namespace disctool
