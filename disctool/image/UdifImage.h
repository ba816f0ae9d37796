// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/image/DiskImage.h"
#include "disctool/image/UdifLayout.h"
#include "disctool/image/UdifTrailer.h"

#include <vector>

namespace disctool {

// An Apple UDIF image (.dmg): the disc image its chunks expand to.
class UdifImage : public DiskImage {
public:
    enum class Refusal { None, Damaged, Lzfse };

    // The image `trailer` ends, or null with `refusal` and, when damaged,
    // `detail` saying what is wrong. Checks the data fork's CRC32, where
    // the image carries one, and that the trailer counts the sectors the
    // block tables do, before anything is written.
    static std::unique_ptr<DiskImage> open(ImageFile file, const UdifTrailer& trailer,
                                           Refusal& refusal, std::string& detail);

    std::int64_t size() const override { return layout_->imageBytes; }
    bool wrapsImage() const override { return true; }
    bool readAt(std::int64_t offset, std::span<std::byte> buffer, std::string& problem) override;
    std::unique_ptr<ImageStream> stream(std::shared_ptr<Sha256> fileDigest) const override;

private:
    UdifImage(ImageFile file, const UdifTrailer& trailer, UdifLayout layout,
              std::vector<std::byte> tail, std::int64_t tailStart);

    // The expanded bytes of chunk `index`, kept for the next read.
    const std::vector<std::byte>* expanded(std::size_t index, std::string& problem);

    UdifTrailer trailer_;
    std::shared_ptr<const UdifLayout> layout_;
    // The file from the data fork's end on (property list and trailer), as
    // read once: the layout comes from these very bytes.
    std::shared_ptr<const std::vector<std::byte>> tail_;
    std::int64_t tailStart_ = 0;
    std::size_t cachedChunk_ = SIZE_MAX;
    std::vector<std::byte> cache_;
};

} // namespace disctool
