// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/image/ChunkDecoder.h"

#include "disctool/image/AdcDecoder.h"

#include <algorithm>
#include <bzlib.h>
#include <cstring>
#include <libdeflate.h>
#include <lzma.h>
#include <memory>

namespace disctool {

namespace {

// libdeflate expands a whole buffer about twice as fast as zlib's inflate.
// Its decompressor holds no state between calls: one per thread serves all.
bool expandZlib(std::span<const std::byte> in, std::span<std::byte> out) {
    struct Free {
        void operator()(libdeflate_decompressor* decompressor) const {
            libdeflate_free_decompressor(decompressor);
        }
    };
    thread_local const std::unique_ptr<libdeflate_decompressor, Free> decompressor(
        libdeflate_alloc_decompressor());
    return decompressor &&
           libdeflate_zlib_decompress(decompressor.get(), in.data(), in.size(), out.data(),
                                      out.size(), nullptr) == LIBDEFLATE_SUCCESS;
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
