// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/Drive.h"
#include "disctool/image/DiskImage.h"

#include <cstdint>
#include <functional>
#include <string>

namespace disctool {

// Reads the written track back and compares it with the image byte for byte,
// over the image's own length (the medium pads the last sector). The image is
// read once more from its start, as the write read it.
class Verifier {
public:
    static constexpr std::size_t chunkBytes = 64 * 1024;

    enum class Outcome { Equal, Differs, Unreadable, Aborted };
    struct Result {
        Outcome outcome = Outcome::Equal;
        std::string reason; // names the first differing or unreadable sector
        // Lower-case hex SHA-256 of what was read back, when it all was.
        std::string readbackSha256;
    };

    Verifier(Drive& drive, DiskImage& image, std::int64_t trackStartByte);

    // `progress` gets the bytes compared after each chunk; `aborted` is asked
    // between chunks.
    Result run(const std::function<void(std::int64_t)>& progress,
               const std::function<bool()>& aborted);

private:
    Drive& drive_;
    DiskImage& image_;
    std::int64_t trackStart_;
};

} // namespace disctool
