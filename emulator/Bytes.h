// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediumFacts.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace emulator {

// Everything a drive sends or receives is big-endian.
using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value >> 8);
    out[at + 1] = static_cast<std::uint8_t>(value);
}

inline void put24(Bytes& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value >> 16);
    put16(out, at + 1, value);
}

inline void put32(Bytes& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value >> 24);
    put24(out, at + 1, value);
}

inline std::uint32_t get16(std::span<const std::uint8_t> in, std::size_t at) {
    return static_cast<std::uint32_t>(in[at] << 8 | in[at + 1]);
}

inline std::uint32_t get32(std::span<const std::uint8_t> in, std::size_t at) {
    return get16(in, at) << 16 | get16(in, at + 2);
}

inline std::int64_t getLba(std::span<const std::uint8_t> in, std::size_t at) {
    return static_cast<std::int32_t>(get32(in, at));
}

// A CD address as minutes, seconds and frames of 1/75 s. LBA 0 is 00:02:00;
// the lead-in's negative addresses count down from 99:59:74 (MMC-5 6.26.3.2,
// the table of LBA to MSF translation).
struct Msf {
    int minute;
    int second;
    int frame;
};

inline Msf msfOf(std::int64_t lba) {
    const std::int64_t frames = lba >= -150 ? lba + 150 : lba + 450150;
    return {static_cast<int>(frames / 4500), static_cast<int>(frames / 75 % 60),
            static_cast<int>(frames % 75)};
}

inline std::int64_t lbaOf(Msf msf) {
    const std::int64_t frames = msf.minute * 4500 + msf.second * 75 + msf.frame;
    return msf.minute >= 90 ? frames - 450150 : frames - 150;
}

inline void putMsf(Bytes& out, std::size_t at, std::int64_t lba) {
    const Msf msf = msfOf(lba);
    out[at] = static_cast<std::uint8_t>(msf.minute);
    out[at + 1] = static_cast<std::uint8_t>(msf.second);
    out[at + 2] = static_cast<std::uint8_t>(msf.frame);
}

using media::sectorBytes;

} // namespace emulator
