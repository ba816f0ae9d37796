// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/LibburnHandles.h"
#include "disctool/Sha256.h"
#include "disctool/image/ImageStream.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace disctool {

// The image laid out for libburn as a disc of one session of one data track,
// fed from the image file (through a fifo for a real drive, which must never
// wait for data) and hashed as libburn takes it.
class LibburnTrack {
public:
    // A real drive's fifo: large enough that its 50 ms waits never hold a BD
    // at 16x (72 MB/s) back.
    static constexpr int fifoBytes = 32 * 1024 * 1024;

    // Reads `image` once. Nullopt with `problem` when the track cannot be laid out.
    static std::optional<LibburnTrack> lay(std::shared_ptr<ImageStream> image,
                                           std::int64_t imageBytes, bool useFifo,
                                           std::string& problem);

    burn::burn_disc* disc() const { return disc_.get(); }
    // Lower-case hex SHA-256 of the image as libburn took it, once it took
    // all of it; empty before.
    std::string fedSha256() const;

private:
    LibburnTrack(std::int64_t imageBytes, std::shared_ptr<Sha256> digest);

    std::int64_t imageBytes_ = 0;
    std::shared_ptr<Sha256> digest_;
    // Declared so that each goes before what it refers to.
    libburn::Source image_;
    libburn::Source fifo_;
    libburn::Track track_;
    libburn::Session session_;
    libburn::Disc disc_;
};

} // namespace disctool
