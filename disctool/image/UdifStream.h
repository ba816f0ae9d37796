// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/Sha256.h"
#include "disctool/image/ImageStream.h"
#include "disctool/image/UdifLayout.h"
#include "disctool/image/UdifTrailer.h"
#include "posix/FileDescriptor.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace disctool {

// A UDIF image expanded in one pass through its file. A reading thread takes
// the file in order, hashes every byte of it (the property list and trailer
// from the bytes the layout was read from) and hands each chunk to decoding
// threads; the chunks come out in order, with at most `mostInFlight` bytes
// read or expanded ahead. Each block table's CRC32 and the data fork's are
// checked before the last byte they cover is delivered.
class UdifStream : public ImageStream {
public:
    static constexpr std::int64_t mostInFlight = 64 * 1024 * 1024;

    UdifStream(int fd, std::shared_ptr<const UdifLayout> layout,
               std::shared_ptr<const std::vector<std::byte>> tail, std::int64_t tailStart,
               const UdifTrailer& trailer, std::shared_ptr<Sha256> fileDigest);
    ~UdifStream() override;
    UdifStream(const UdifStream&) = delete;
    UdifStream& operator=(const UdifStream&) = delete;

    std::int64_t read(std::span<std::byte> buffer) override;
    std::string failure() const override;

    // The sentence for a chunk that does not expand to its sectors.
    static std::string damagedChunk(const UdifChunk& chunk);

private:
    // A chunk's bytes, reused from chunk to chunk: it only grows, and is
    // never filled before the file or a decoder writes it.
    struct Buffer {
        std::unique_ptr<std::byte[]> bytes;
        std::size_t capacity = 0;

        std::span<std::byte> fitted(std::size_t length);
    };

    struct Piece {
        std::size_t index = 0;
        Buffer coded;
        Buffer expanded;
        bool ready = false;
        bool intact = true;
        std::uint32_t crc32 = 0;
    };

    void readFile();
    bool readFileRange(std::int64_t end, Buffer* into);
    void decode();
    void finishReading(std::string failure);
    // With the lock held: takes the next chunk in order, checking what it closes.
    bool takeNext(std::unique_lock<std::mutex>& lock);
    // With the lock held: a buffer a finished chunk left, or a new one.
    Buffer spareBuffer();
    void recycle(Buffer& buffer);
    std::int64_t costOf(const Piece& piece) const;

    posix::FileDescriptor fd_;
    std::shared_ptr<const UdifLayout> layout_;
    std::shared_ptr<const std::vector<std::byte>> tail_;
    std::int64_t tailStart_;
    UdifTrailer trailer_;
    std::shared_ptr<Sha256> fileDigest_;
    std::uint32_t dataForkCrc_ = 0;
    std::int64_t filePosition_ = 0;
    std::vector<std::byte> block_; // the reading thread's

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Piece>> ordered_; // read, in the image's order
    std::deque<std::shared_ptr<Piece>> toDecode_;
    // Buffers of chunks delivered, for the next ones: at most as many as
    // were ever in flight at once.
    std::vector<Buffer> spare_;
    std::int64_t inFlight_ = 0;
    bool stopping_ = false;
    bool readingDone_ = false;
    std::string readingFailure_;

    // The consumer's side.
    std::shared_ptr<Piece> current_;
    std::int64_t currentDelivered_ = 0;
    std::int64_t delivered_ = 0;
    std::uint32_t tableCrc_ = 0;
    std::string failure_;

    std::thread reader_;
    std::vector<std::thread> decoders_;
};

} // namespace disctool
