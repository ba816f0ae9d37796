// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/image/UdifChunk.h"

#include <cstddef>
#include <span>

namespace disctool {

// True when `in`, a chunk's bytes in the file coded as `coding`, expands to
// exactly `out.size()` bytes, which it fills. Runs on any thread.
bool expandChunk(ChunkCoding coding, std::span<const std::byte> in, std::span<std::byte> out);

} // namespace disctool
