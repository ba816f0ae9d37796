// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/ImageWriter.h"

#include "disctool/AlignedBuffer.h"
#include "disctool/PositionedIo.h"
#include "media/MediumFacts.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <span>
#include <unistd.h>

namespace disctool {

using media::sectorBytes;

ImageWriter::ImageWriter(std::shared_ptr<ImageStream> image, std::int64_t imageBytes, int targetFd,
                         bool simulate)
    : image_(std::move(image))
    , imageBytes_(imageBytes)
    , target_(targetFd)
    , simulate_(simulate) {
    thread_ = std::thread([this] {
        // Signals are for the burn flow, which notices them on its own thread.
        sigset_t all;
        sigfillset(&all);
        ::pthread_sigmask(SIG_BLOCK, &all, nullptr);
        copy();
    });
}

ImageWriter::~ImageWriter() {
    cancel();
    thread_.join();
}

std::string ImageWriter::failure() const {
    const std::lock_guard lock(mutex_);
    return failure_;
}

std::string ImageWriter::imageSha256() {
    if (digest_.bytesAdded() != imageBytes_) {
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
    {
        const std::lock_guard lock(mutex_);
        failure_ = std::move(failure);
        finished_.store(true);
    }
    ended_.notify_all();
}

std::string ImageWriter::copyBlocks() {
    AlignedBuffer block(blockBytes);
    for (std::int64_t offset = 0; offset < imageBytes_;) {
        if (cancelled_.load()) {
            return "Canceled";
        }
        const auto length = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(blockBytes), imageBytes_ - offset));
        const std::span<std::byte> data(block.data(), length);
        if (image_->read(data) != static_cast<std::int64_t>(length)) {
            return image_->whyShort();
        }
        digest_.add(data);
        // The last sector is padded with zeros, as on a disc.
        const std::size_t padded = static_cast<std::size_t>(
            (static_cast<std::int64_t>(length) + sectorBytes - 1) / sectorBytes * sectorBytes);
        std::fill(block.data() + length, block.data() + padded, std::byte{0});
        if (!simulate_) {
            if (!writeFully(target_, std::span(block.data(), padded), offset)) {
                return std::string("Cannot write the file: ") + std::strerror(errno);
            }
            // Start putting the block on the disk now, while the digest
            // catches up: the fsync at the end then finds little left to do.
            ::sync_file_range(target_, offset, static_cast<off_t>(padded), SYNC_FILE_RANGE_WRITE);
        }
        offset += static_cast<std::int64_t>(length);
        done_.store(offset);
    }
    if (!simulate_ && ::fsync(target_) != 0 && errno != EINVAL) {
        return std::string("Cannot write the file to the disk: ") + std::strerror(errno);
    }
    return {};
}

} // namespace disctool
