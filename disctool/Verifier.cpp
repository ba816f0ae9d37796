// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/Verifier.h"

#include "disctool/AlignedBuffer.h"
#include "disctool/Sha256.h"
#include "media/MediumFacts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace disctool {

using media::sectorBytes;

Verifier::Verifier(Drive& drive, DiskImage& image, std::int64_t trackStartByte)
    : drive_(drive)
    , image_(image)
    , trackStart_(trackStartByte) {}

Verifier::Result Verifier::run(const std::function<void(std::int64_t)>& progress,
                               const std::function<bool()>& aborted) {
    Sha256 readback;
    // In order, as the write read it: a UDIF image's chunks expand ahead on
    // every core rather than one by one as they are asked for.
    const std::unique_ptr<ImageStream> expected = image_.stream(nullptr);
    AlignedBuffer fromDisc(chunkBytes);
    AlignedBuffer fromImage(chunkBytes);
    const std::int64_t total = image_.size();
    for (std::int64_t offset = 0; offset < total; offset += chunkBytes) {
        if (aborted()) {
            return {Outcome::Aborted, {}, {}};
        }
        const auto length = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(chunkBytes), total - offset));
        const std::span<char> disc(reinterpret_cast<char*>(fromDisc.data()), length);
        const std::span<char> image(reinterpret_cast<char*>(fromImage.data()), length);
        if (!drive_.read(trackStart_ + offset, disc)) {
            const std::int64_t sector = offset / sectorBytes;
            return {Outcome::Unreadable,
                    "Verify failed: cannot read sector " + std::to_string(sector) +
                        " of the disc: " + drive_.failureReason(),
                    {}};
        }
        if (expected->read(std::as_writable_bytes(image)) != static_cast<std::int64_t>(length)) {
            return {Outcome::Unreadable, "Verify failed: " + expected->whyShort(), {}};
        }
        if (std::memcmp(disc.data(), image.data(), length) != 0) {
            const auto discAt = std::mismatch(disc.begin(), disc.end(), image.begin()).first;
            const std::int64_t byte = offset + (discAt - disc.begin());
            const std::int64_t sector = byte / sectorBytes;
            return {Outcome::Differs,
                    "Verify failed: sector " + std::to_string(sector) +
                        " of the disc differs from the image (byte " + std::to_string(byte) + ")",
                    {}};
        }
        readback.add(std::as_bytes(disc));
        progress(offset + static_cast<std::int64_t>(length));
    }
    return {Outcome::Equal, {}, readback.hexDigest()};
}

} // namespace disctool
