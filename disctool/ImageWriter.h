// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "digest/Hash.h"
#include "disctool/BlockWrites.h"
#include "disctool/image/ImageStream.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace disctool {

// Copies the image into a file on a thread of its own, in 1 MiB blocks,
// hashing what it reads, while the blocks read before are written; pads the
// last sector with zeros, as a disc would, and ends once the data is on the
// disk (fsync). A simulated write reads and hashes the image and writes
// nothing.
class ImageWriter {
public:
    static constexpr std::size_t blockBytes = 1024 * 1024;

    // Reads `image` once; `targetFd` is borrowed for the writer's life.
    ImageWriter(std::shared_ptr<ImageStream> image, std::int64_t imageBytes, int targetFd,
                bool simulate);
    // Stops a copy still running and waits for it.
    ~ImageWriter();
    ImageWriter(const ImageWriter&) = delete;
    ImageWriter& operator=(const ImageWriter&) = delete;

    // The bytes written, or read where nothing is written.
    std::int64_t bytesDone() const;
    bool finished() const { return finished_.load(); }
    // Returns once the copy ended, or after `most`.
    void awaitEnd(std::chrono::milliseconds most);
    void cancel() { cancelled_.store(true); }
    // Once finished: empty when the whole image is in the file, else why not.
    std::string failure() const;
    // Lower-case hex SHA-256 of the image, once all of it was read; empty before.
    std::string imageSha256() const;

private:
    void copy();
    // Empty when every block was read and handed to the writes, else why not.
    std::string copyBlocks();

    std::shared_ptr<ImageStream> image_;
    std::int64_t imageBytes_;
    int target_;
    bool simulate_;
    digest::Hash digest_{digest::Algorithm::Sha256}; // the copying thread's until finished
    std::optional<BlockWrites> writes_;
    std::atomic<std::int64_t> read_{0};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    std::string failure_;
    std::thread thread_;
};

} // namespace disctool
