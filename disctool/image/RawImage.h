// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/image/DiskImage.h"

namespace disctool {

// A file that is the disc image itself (an ISO, a plain .img, .toast or .dmg).
class RawImage : public DiskImage {
public:
    explicit RawImage(ImageFile file)
        : DiskImage(std::move(file)) {}

    std::int64_t size() const override { return file().size(); }
    bool wrapsImage() const override { return false; }
    bool readAt(std::int64_t offset, std::span<std::byte> buffer, std::string& problem) override;
    std::unique_ptr<ImageStream> stream(std::shared_ptr<Sha256> fileDigest) const override;
};

} // namespace disctool
