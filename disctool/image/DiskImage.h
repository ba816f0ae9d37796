// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/ImageFile.h"
#include "disctool/IsoVolume.h"
#include "disctool/Sha256.h"
#include "disctool/image/ImageStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace disctool {

// The disc image a file holds: the file's bytes themselves, or what a UDIF
// image expands to. Every use of the image reads these bytes.
class DiskImage {
public:
    // The image in the file at `path`, or null with `problem` saying why it
    // cannot be burned. Nothing has been written then.
    static std::unique_ptr<DiskImage> open(const std::string& path, std::string& problem);

    virtual ~DiskImage() = default;

    const ImageFile& file() const { return file_; }
    // The disc image's size in bytes.
    virtual std::int64_t size() const = 0;
    // Whether the file wraps the disc image, so that the file's SHA-256
    // differs from the image's.
    virtual bool wrapsImage() const = 0;
    // The whole of `buffer` from `offset` on, or false with `problem` set.
    virtual bool readAt(std::int64_t offset, std::span<std::byte> buffer, std::string& problem) = 0;
    // The image from its start. For an image that wraps the disc image,
    // `fileDigest` gets every byte of the file, in the same pass that
    // expands it.
    virtual std::unique_ptr<ImageStream> stream(std::shared_ptr<Sha256> fileDigest) const = 0;

    // The ISO 9660 volume the image holds, if it holds one.
    std::optional<IsoVolume> isoVolume();

protected:
    explicit DiskImage(ImageFile file)
        : file_(std::move(file)) {}

private:
    ImageFile file_;
};

} // namespace disctool
