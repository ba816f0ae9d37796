// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/UdifImage.h"

#include "disctool/AlignedBuffer.h"
#include "disctool/PositionedIo.h"
#include "disctool/image/ChunkDecoder.h"
#include "disctool/image/UdifChecksum.h"
#include "disctool/image/UdifLimits.h"
#include "disctool/image/UdifStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <zlib.h>

namespace disctool {

namespace {

// The CRC32 of `length` bytes of `fd` from `offset`, or nullopt with `error`
// set when they cannot be read.
std::optional<std::uint32_t> crcOfRange(int fd, std::int64_t offset, std::int64_t length,
                                        int& error) {
    AlignedBuffer block(1024 * 1024);
    std::uint32_t crc = 0;
    for (std::int64_t done = 0; done < length;) {
        const auto piece = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(block.size()), length - done));
        const std::span<std::byte> bytes(block.data(), piece);
        if (!readFully(fd, bytes, offset + done)) {
            error = errno;
            return std::nullopt;
        }
        crc = crc32Continued(crc, bytes);
        done += static_cast<std::int64_t>(piece);
    }
    return crc;
}

// Whether the data fork's bytes have the CRC32 the trailer names. The write
// waits for this: each core takes a part of the file.
bool dataForkIntact(int fd, std::int64_t offset, std::int64_t length, std::uint32_t expected,
                    std::string& detail) {
    const std::int64_t parts = std::max(1U, std::thread::hardware_concurrency());
    const std::int64_t partBytes = (length + parts - 1) / parts;
    std::vector<std::optional<std::uint32_t>> crcs(static_cast<std::size_t>(parts));
    std::vector<int> errors(crcs.size(), 0);
    {
        std::vector<std::jthread> threads;
        for (std::size_t part = 0; part < crcs.size(); ++part) {
            threads.emplace_back([&, part] {
                const std::int64_t from = static_cast<std::int64_t>(part) * partBytes;
                crcs[part] =
                    crcOfRange(fd, offset + from,
                               std::clamp<std::int64_t>(length - from, 0, partBytes), errors[part]);
            });
        }
    }
    uLong crc = 0;
    for (std::size_t part = 0; part < crcs.size(); ++part) {
        if (!crcs[part]) {
            detail = std::string("it cannot be read: ") + std::strerror(errors[part]);
            return false;
        }
        const std::int64_t from = static_cast<std::int64_t>(part) * partBytes;
        crc =
            crc32_combine(crc, *crcs[part], std::clamp<std::int64_t>(length - from, 0, partBytes));
    }
    if (crc != expected) {
        detail = "its data does not match its checksum";
        return false;
    }
    return true;
}

} // namespace

UdifImage::UdifImage(ImageFile file, const UdifTrailer& trailer, UdifLayout layout,
                     std::vector<std::byte> tail, std::int64_t tailStart)
    : DiskImage(std::move(file))
    , trailer_(trailer)
    , layout_(std::make_shared<const UdifLayout>(std::move(layout)))
    , tail_(std::make_shared<const std::vector<std::byte>>(std::move(tail)))
    , tailStart_(tailStart) {}

std::unique_ptr<DiskImage> UdifImage::open(ImageFile file, const UdifTrailer& trailer,
                                           Refusal& refusal, std::string& detail) {
    refusal = Refusal::Damaged;
    const auto fileBytes = static_cast<std::uint64_t>(file.size());
    const std::uint64_t trailerStart = fileBytes - UdifTrailer::bytes;
    if (trailer.dataForkOffset > trailerStart ||
        trailer.dataForkLength > trailerStart - trailer.dataForkOffset) {
        detail = "its data lies outside the file";
        return nullptr;
    }
    const std::uint64_t dataForkEnd = trailer.dataForkOffset + trailer.dataForkLength;
    if (trailer.xmlOffset < dataForkEnd || trailer.xmlOffset > trailerStart ||
        trailer.xmlLength > trailerStart - trailer.xmlOffset || trailer.xmlLength == 0) {
        detail = "its property list lies outside the file";
        return nullptr;
    }
    if (fileBytes - dataForkEnd > udifMostPropertyListBytes) {
        detail = "its property list is larger than any image's";
        return nullptr;
    }
    std::vector<std::byte> tail(fileBytes - dataForkEnd);
    if (!readFully(file.descriptor(), tail, static_cast<std::int64_t>(dataForkEnd))) {
        detail = std::string("it cannot be read: ") + std::strerror(errno);
        return nullptr;
    }
    const auto xml = std::span<const std::byte>(tail).subspan(trailer.xmlOffset - dataForkEnd,
                                                              trailer.xmlLength);
    UdifLayout::Problem problem = UdifLayout::Problem::None;
    std::optional<UdifLayout> layout =
        UdifLayout::read(xml, trailer, static_cast<std::int64_t>(dataForkEnd), problem, detail);
    if (!layout) {
        refusal = problem == UdifLayout::Problem::Lzfse ? Refusal::Lzfse : Refusal::Damaged;
        return nullptr;
    }
    // Tables that lost or gained sectors would burn an image of another size.
    if (trailer.sectorCount != static_cast<std::uint64_t>(layout->imageBytes / udifSectorBytes)) {
        detail = "its trailer's sector count does not match its block tables";
        return nullptr;
    }
    if (trailer.dataForkCrc32 &&
        !dataForkIntact(file.descriptor(), static_cast<std::int64_t>(trailer.dataForkOffset),
                        static_cast<std::int64_t>(trailer.dataForkLength), *trailer.dataForkCrc32,
                        detail)) {
        return nullptr;
    }
    refusal = Refusal::None;
    return std::unique_ptr<DiskImage>(new UdifImage(std::move(file), trailer, std::move(*layout),
                                                    std::move(tail),
                                                    static_cast<std::int64_t>(dataForkEnd)));
}

const std::vector<std::byte>* UdifImage::expanded(std::size_t index, std::string& problem) {
    if (cachedChunk_ == index) {
        return &cache_;
    }
    const UdifChunk& chunk = layout_->chunks[index];
    std::vector<std::byte> coded(static_cast<std::size_t>(chunk.fileLength));
    if (!readFully(file().descriptor(), coded, chunk.fileOffset)) {
        problem = std::string("Cannot read the image: ") + std::strerror(errno);
        return nullptr;
    }
    cachedChunk_ = SIZE_MAX;
    cache_.resize(static_cast<std::size_t>(chunk.imageLength));
    if (!expandChunk(chunk.coding, coded, cache_)) {
        problem = UdifStream::damagedChunk(chunk);
        return nullptr;
    }
    cachedChunk_ = index;
    return &cache_;
}

bool UdifImage::readAt(std::int64_t offset, std::span<std::byte> buffer, std::string& problem) {
    const std::vector<UdifChunk>& chunks = layout_->chunks;
    auto at = std::upper_bound(
        chunks.begin(), chunks.end(), offset,
        [](std::int64_t byte, const UdifChunk& chunk) { return byte < chunk.imageOffset; });
    std::size_t done = 0;
    for (auto index =
             static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, at - chunks.begin() - 1));
         done < buffer.size(); ++index) {
        if (index >= chunks.size()) {
            problem = "Cannot read the image beyond its end";
            return false;
        }
        const UdifChunk& chunk = chunks[index];
        const std::int64_t from = offset + static_cast<std::int64_t>(done) - chunk.imageOffset;
        const auto length = static_cast<std::size_t>(std::min<std::int64_t>(
            static_cast<std::int64_t>(buffer.size() - done), chunk.imageLength - from));
        const std::span<std::byte> part = buffer.subspan(done, length);
        if (chunk.coding == ChunkCoding::Zeros) {
            std::fill(part.begin(), part.end(), std::byte{0});
        } else {
            const std::vector<std::byte>* bytes = expanded(index, problem);
            if (bytes == nullptr) {
                return false;
            }
            std::memcpy(part.data(), bytes->data() + from, length);
        }
        done += length;
    }
    return true;
}

std::unique_ptr<ImageStream> UdifImage::stream(std::shared_ptr<Sha256> fileDigest) const {
    return std::make_unique<UdifStream>(file().descriptor(), layout_, tail_, tailStart_, trailer_,
                                        std::move(fileDigest));
}

} // namespace disctool
