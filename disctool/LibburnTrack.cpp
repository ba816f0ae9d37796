// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/LibburnTrack.h"

#include "disctool/ImageSource.h"

#include <utility>

using namespace burn;

namespace disctool {

LibburnTrack::LibburnTrack(std::int64_t imageBytes, std::shared_ptr<Sha256> digest)
    : imageBytes_(imageBytes)
    , digest_(std::move(digest)) {}

std::optional<LibburnTrack> LibburnTrack::lay(std::shared_ptr<ImageStream> image,
                                              std::int64_t imageBytes, bool useFifo,
                                              std::string& problem) {
    LibburnTrack laid(imageBytes, std::make_shared<Sha256>());
    laid.image_ = makeImageSource(std::move(image), imageBytes, laid.digest_);
    if (!laid.image_) {
        problem = "Cannot prepare the image for libburn";
        return std::nullopt;
    }
    if (useFifo) {
        // Flag 1: the source delivers any amount per call, so the fifo reads
        // it in large pieces.
        laid.fifo_.reset(burn_fifo_source_new(laid.image_.get(), 2048, fifoBytes / 2048, 1));
        if (!laid.fifo_) {
            problem = "Cannot set up the write buffer";
            return std::nullopt;
        }
    }
    laid.disc_.reset(burn_disc_create());
    laid.session_.reset(burn_session_create());
    laid.track_.reset(burn_track_create());
    // Pad the last sector, nothing more: a verify compares the image's own length.
    burn_track_define_data(laid.track_.get(), 0, 0, 1, BURN_MODE1);
    if (burn_track_set_source(laid.track_.get(),
                              laid.fifo_ ? laid.fifo_.get() : laid.image_.get()) !=
        BURN_SOURCE_OK) {
        problem = "Cannot attach the image to the track";
        return std::nullopt;
    }
    if (burn_session_add_track(laid.session_.get(), laid.track_.get(), BURN_POS_END) <= 0 ||
        burn_disc_add_session(laid.disc_.get(), laid.session_.get(), BURN_POS_END) <= 0) {
        problem = "Cannot lay out the disc";
        return std::nullopt;
    }
    return laid;
}

std::string LibburnTrack::fedSha256() const {
    if (digest_->bytesAdded() != imageBytes_) {
        return {};
    }
    return digest_->hexDigest();
}

} // namespace disctool
