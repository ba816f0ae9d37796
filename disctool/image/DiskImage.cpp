// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/DiskImage.h"

#include "disctool/PositionedIo.h"
#include "disctool/image/CutUdif.h"
#include "disctool/image/RawImage.h"
#include "disctool/image/UdifImage.h"
#include "disctool/image/UdifTrailer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace disctool {

namespace {

constexpr const char* convertHint =
    "To burn it, convert it on a Mac with \"hdiutil convert IMAGE -format UDZO -o NEW.dmg\" "
    "and burn the new image.";

bool startsOrEndsEncrypted(const ImageFile& file) {
    std::array<std::byte, 8> first{};
    std::array<std::byte, 8> last{};
    return (file.size() >= 8 && readFully(file.descriptor(), first, 0) &&
            std::memcmp(first.data(), "encrcdsa", 8) == 0) ||
           (file.size() >= 8 && readFully(file.descriptor(), last, file.size() - 8) &&
            std::memcmp(last.data(), "cdsaencr", 8) == 0);
}

std::string damagedSentence(const std::string& what) {
    return "The image is damaged (" + what +
           "), so nothing was written. Download or copy it again.";
}

} // namespace

std::unique_ptr<DiskImage> DiskImage::open(const std::string& path, std::string& problem) {
    std::optional<ImageFile> file = ImageFile::open(path, problem);
    if (!file) {
        return nullptr;
    }
    if (startsOrEndsEncrypted(*file)) {
        problem = "The image is encrypted, and encrypted images cannot be opened here. " +
                  std::string(convertHint);
        return nullptr;
    }
    std::array<std::byte, UdifTrailer::bytes> last{};
    std::optional<UdifTrailer> trailer;
    if (file->size() >= static_cast<std::int64_t>(last.size()) &&
        readFully(file->descriptor(), last,
                  file->size() - static_cast<std::int64_t>(last.size()))) {
        trailer = UdifTrailer::parse(last);
    }
    if (!trailer && looksLikeCutUdif(path, *file)) {
        problem = damagedSentence("it ends before its trailer");
        return nullptr;
    }
    if (!trailer) {
        return std::make_unique<RawImage>(std::move(*file));
    }
    if (trailer->segmentCount > 1) {
        problem = "The image is one of " + std::to_string(trailer->segmentCount) +
                  " segments of a split image, and only a whole image can be burned. " +
                  convertHint;
        return nullptr;
    }
    UdifImage::Refusal refusal = UdifImage::Refusal::None;
    std::unique_ptr<DiskImage> image =
        UdifImage::open(std::move(*file), *trailer, refusal, problem);
    if (refusal == UdifImage::Refusal::Lzfse) {
        problem = "The image is compressed with LZFSE, which cannot be expanded here. " +
                  std::string(convertHint);
    } else if (refusal == UdifImage::Refusal::Damaged) {
        problem = damagedSentence(problem);
    }
    return image;
}

std::optional<IsoVolume> DiskImage::isoVolume() {
    const auto available =
        std::min<std::int64_t>(static_cast<std::int64_t>(IsoVolume::descriptorBytes),
                               size() - IsoVolume::firstDescriptorByte);
    if (available <= 0) {
        return std::nullopt;
    }
    std::vector<std::byte> descriptors(static_cast<std::size_t>(available));
    std::string problem;
    if (!readAt(IsoVolume::firstDescriptorByte, descriptors, problem)) {
        return std::nullopt;
    }
    return IsoVolume::fromDescriptors(descriptors);
}

} // namespace disctool
