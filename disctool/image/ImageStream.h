// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace disctool {

// A disc image delivered once, from its first byte to its last.
class ImageStream {
public:
    virtual ~ImageStream() = default;

    // Up to `buffer.size()` of the image's next bytes; 0 once all were
    // delivered; -1 when the image cannot be read further (`failure` says why).
    virtual std::int64_t read(std::span<std::byte> buffer) = 0;
    virtual std::string failure() const = 0;

    // Why a read delivered fewer bytes than the image still had.
    std::string whyShort() const {
        const std::string why = failure();
        return why.empty() ? "Cannot read the image: it ended early" : why;
    }
};

} // namespace disctool
