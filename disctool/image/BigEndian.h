// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace disctool {

// An unsigned big-endian number of `Bytes` bytes at `offset` of `bytes`; the
// caller has checked that they are there.
template <typename Number>
Number bigEndianAt(std::span<const std::byte> bytes, std::size_t offset) {
    Number value = 0;
    for (std::size_t i = 0; i < sizeof(Number); ++i) {
        value = static_cast<Number>((value << 8) | std::to_integer<Number>(bytes[offset + i]));
    }
    return value;
}

} // namespace disctool
