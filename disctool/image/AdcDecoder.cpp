// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/AdcDecoder.h"

#include <cstdint>
#include <cstring>

namespace disctool {

bool expandAdc(std::span<const std::byte> in, std::span<std::byte> out) {
    std::size_t read = 0;
    std::size_t written = 0;
    while (read < in.size()) {
        const auto code = std::to_integer<unsigned>(in[read]);
        if ((code & 0x80U) != 0) {
            const std::size_t length = (code & 0x7fU) + 1;
            if (length > in.size() - read - 1 || length > out.size() - written) {
                return false;
            }
            std::memcpy(out.data() + written, in.data() + read + 1, length);
            read += 1 + length;
            written += length;
            continue;
        }
        const bool threeBytes = (code & 0x40U) != 0;
        const std::size_t codeBytes = threeBytes ? 3 : 2;
        if (codeBytes > in.size() - read) {
            return false;
        }
        const auto next = std::to_integer<std::size_t>(in[read + 1]);
        const std::size_t length = threeBytes ? (code & 0x3fU) + 4 : ((code & 0x3cU) >> 2) + 3;
        const std::size_t distance =
            (threeBytes ? (next << 8) + std::to_integer<std::size_t>(in[read + 2])
                        : ((code & 0x03U) << 8) + next) +
            1;
        if (distance > written || length > out.size() - written) {
            return false;
        }
        // Byte by byte: a copy may overlap what it writes.
        for (std::size_t i = 0; i < length; ++i) {
            out[written + i] = out[written + i - distance];
        }
        read += codeBytes;
        written += length;
    }
    return written == out.size();
}

} // namespace disctool
