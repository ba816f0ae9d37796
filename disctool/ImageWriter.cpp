// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/ImageWriter.h"

#include "disctool/AlignedBuffer.h"
#include "disctool/WorkerThread.h"
#include "media/MediumFacts.h"

#include <algorithm>
#include <span>

namespace disctool {

using media::sectorBytes;

ImageWriter::ImageWriter(std::shared_ptr<ImageStream> image, std::int64_t imageBytes, int targetFd,
                         bool simulate)
    : image_(std::move(image))
    , imageBytes_(imageBytes)
    , target_(targetFd)
    , simulate_(simulate) {
    if (!simulate_) {
        writes_.emplace(target_, blockBytes);
    }
    thread_ = workerThread([this] { copy(); });
}

ImageWriter::~ImageWriter() {
    cancel();
    thread_.join();
}

std::string ImageWriter::failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
}

std::int64_t ImageWriter::bytesDone() const {
    return writes_ ? writes_->bytesWritten() : read_.load();
}

std::string ImageWriter::imageSha256() const {
    if (!finished_.load() || read_.load() != imageBytes_) {
        return {};
    }
    return digest_.hexDigest();
}

void ImageWriter::awaitEnd(std::chrono::milliseconds most) {
    std::unique_lock lock(mutex_);
    ended_.wait_for(lock, most, [this] { return finished_.load(); });
}

void ImageWriter::copy() {
    std::string failure = copyBlocks();
    if (writes_) {
        // Whatever stopped the copy, no write may outlast it.
        std::string written = writes_->finish();
        if (failure.empty()) {
            failure = std::move(written);
        }
        if (failure.empty()) {
            failure = writes_->sync();
        }
    }
    {
        const std::lock_guard lock(mutex_);
        failure_ = std::move(failure);
        finished_.store(true);
    }
    ended_.notify_all();
}

std::string ImageWriter::copyBlocks() {
    // A simulated write reuses one block.
    std::optional<AlignedBuffer> simulated;
    if (!writes_) {
        simulated.emplace(blockBytes);
    }
    for (std::int64_t offset = 0; offset < imageBytes_;) {
        if (cancelled_.load()) {
            return "Canceled";
        }
        AlignedBuffer block = writes_ ? writes_->takeBlock() : std::move(*simulated);
        const auto length = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(blockBytes), imageBytes_ - offset));
        const std::span<std::byte> data(block.data(), length);
        if (image_->read(data) != static_cast<std::int64_t>(length)) {
            return image_->whyShort();
        }
        // Here rather than on a thread of its own: the writes run beside
        // it, and a hashing thread would copy every block once more.
        digest_.add(data);
        // The last sector is padded with zeros, as on a disc.
        const std::size_t padded = static_cast<std::size_t>(
            (static_cast<std::int64_t>(length) + sectorBytes - 1) / sectorBytes * sectorBytes);
        std::fill(block.data() + length, block.data() + padded, std::byte{0});
        if (writes_) {
            if (!writes_->submit(std::move(block), padded, offset)) {
                return {};
            }
        } else {
            simulated = std::move(block);
        }
        offset += static_cast<std::int64_t>(length);
        read_.store(offset);
    }
    return {};
}

} // namespace disctool
