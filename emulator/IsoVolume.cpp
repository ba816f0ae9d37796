// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/IsoVolume.h"

#include "emulator/Bytes.h"

#include <algorithm>
#include <cstring>

namespace emulator {

namespace {

// ECMA-119 7.2 and 7.3: numbers recorded in both byte orders.
void putBoth32(Bytes& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    put32(out, at + 4, value);
}

void putBoth16(Bytes& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
    put16(out, at + 2, value);
}

void putText(Bytes& out, std::size_t at, std::size_t length, std::string_view text) {
    std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(at), length, ' ');
    std::copy_n(text.begin(), std::min(length, text.size()),
                out.begin() + static_cast<std::ptrdiff_t>(at));
}

// ECMA-119 9.1: a directory record of the root directory ("." or "..").
void putRootRecord(Bytes& out, std::size_t at, std::uint32_t extent, std::uint8_t name) {
    out[at] = 34;
    putBoth32(out, at + 2, extent);
    putBoth32(out, at + 10, static_cast<std::uint32_t>(sectorBytes));
    out[at + 18] = 126; // recorded 2026-01-01
    out[at + 19] = 1;
    out[at + 20] = 1;
    out[at + 25] = 0x02; // a directory
    putBoth16(out, at + 28, 1);
    out[at + 32] = 1;
    out[at + 33] = name;
}

void putStandardId(Bytes& out, std::uint8_t type) {
    out[0] = type;
    std::memcpy(out.data() + 1, "CD001", 5);
    out[6] = 1;
}

} // namespace

bool writeIsoVolume(BackingStore& store, std::int64_t start, std::int64_t end,
                    std::string_view volumeId) {
    const auto pathTable = static_cast<std::uint32_t>(start + 18);
    const auto root = static_cast<std::uint32_t>(start + 20);
    Bytes sectors(5 * sectorBytes, 0);

    Bytes primary(sectorBytes, 0); // ECMA-119 8.4
    putStandardId(primary, 1);
    putText(primary, 8, 32, "LINUX");
    putText(primary, 40, 32, volumeId);
    putBoth32(primary, 80, static_cast<std::uint32_t>(end));
    putBoth16(primary, 120, 1);
    putBoth16(primary, 124, 1);
    putBoth16(primary, 128, static_cast<std::uint32_t>(sectorBytes));
    putBoth32(primary, 132, 10);
    for (int i = 0; i < 4; ++i) {
        primary[140 + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(pathTable >> (8 * i));
    }
    put32(primary, 148, pathTable + 1);
    putRootRecord(primary, 156, root, 0);
    putText(primary, 190, 623, "");
    for (const std::size_t date : {813u, 830u, 847u, 864u}) {
        std::memcpy(primary.data() + date, date == 847 ? "0000000000000000" : "2026010100000000",
                    16);
    }
    primary[881] = 1;
    std::copy(primary.begin(), primary.end(), sectors.begin());

    Bytes terminator(sectorBytes, 0);
    putStandardId(terminator, 255);
    std::copy(terminator.begin(), terminator.end(), sectors.begin() + sectorBytes);

    // ECMA-119 9.4: path tables, little-endian then big-endian.
    for (std::size_t table = 0; table < 2; ++table) {
        const std::size_t at = (2 + table) * sectorBytes;
        sectors[at] = 1;
        for (int i = 0; i < 4; ++i) {
            const auto shift = table == 0 ? 8 * i : 24 - 8 * i;
            sectors[at + 2 + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(root >> shift);
        }
        sectors[at + (table == 0 ? 6 : 7)] = 1;
    }

    Bytes directory(sectorBytes, 0);
    putRootRecord(directory, 0, root, 0);
    putRootRecord(directory, 34, root, 1);
    std::copy(directory.begin(), directory.end(), sectors.begin() + 4 * sectorBytes);
    return store.write(start + 16, sectors);
}

} // namespace emulator
