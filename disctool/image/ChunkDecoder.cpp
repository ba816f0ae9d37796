// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/ChunkDecoder.h"

#include "disctool/image/AdcDecoder.h"

#include <algorithm>
#include <bzlib.h>
#include <cstring>
#include <lzma.h>
#include <zlib.h>

namespace disctool {

namespace {

bool expandZlib(std::span<const std::byte> in, std::span<std::byte> out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<std::byte*>(in.data()));
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.avail_out == 0;
    inflateEnd(&stream);
    return whole;
}

bool expandBzip2(std::span<const std::byte> in, std::span<std::byte> out) {
    auto length = static_cast<unsigned>(out.size());
    return BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(out.data()), &length,
                                      const_cast<char*>(reinterpret_cast<const char*>(in.data())),
                                      static_cast<unsigned>(in.size()), 0, 0) == BZ_OK &&
           length == out.size();
}

bool expandXz(std::span<const std::byte> in, std::span<std::byte> out) {
    // The coder's dictionary is bounded too: a crafted stream cannot ask for more.
    std::uint64_t memoryLimit = 256 * 1024 * 1024;
    std::size_t inPosition = 0;
    std::size_t outPosition = 0;
    return lzma_stream_buffer_decode(&memoryLimit, 0, nullptr,
                                     reinterpret_cast<const std::uint8_t*>(in.data()), &inPosition,
                                     in.size(), reinterpret_cast<std::uint8_t*>(out.data()),
                                     &outPosition, out.size()) == LZMA_OK &&
           outPosition == out.size();
}

} // namespace

bool expandChunk(ChunkCoding coding, std::span<const std::byte> in, std::span<std::byte> out) {
    switch (coding) {
    case ChunkCoding::Zeros:
        std::fill(out.begin(), out.end(), std::byte{0});
        return true;
    case ChunkCoding::Raw:
        if (in.size() != out.size()) {
            return false;
        }
        std::memcpy(out.data(), in.data(), in.size());
        return true;
    case ChunkCoding::Adc:
        return expandAdc(in, out);
    case ChunkCoding::Zlib:
        return expandZlib(in, out);
    case ChunkCoding::Bzip2:
        return expandBzip2(in, out);
    case ChunkCoding::Lzma:
        return expandXz(in, out);
    }
    return false;
}

} // namespace disctool
