// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace disctool {

// The whole of `buffer` read from `offset` on, or false with errno set (EIO
// when the file ended first: it shrank under us).
bool readFully(int fd, std::span<std::byte> buffer, std::int64_t offset);

// The whole of `buffer` written at `offset`, or false with errno set.
bool writeFully(int fd, std::span<const std::byte> buffer, std::int64_t offset);

} // namespace disctool
