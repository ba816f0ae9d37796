// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/IsoVolume.h"

#include "iso9660/VolumeLayout.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace emulator {

namespace {

using namespace iso9660;
using Sector = std::span<std::byte>;

void putText(Sector out, std::size_t at, std::size_t length, std::string_view text) {
    std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(at), length, std::byte{' '});
    std::transform(text.begin(),
                   text.begin() + static_cast<std::ptrdiff_t>(std::min(length, text.size())),
                   out.begin() + static_cast<std::ptrdiff_t>(at),
                   [](char c) { return static_cast<std::byte>(c); });
}

// A directory record of the root directory ("." or "..").
void putRootRecord(Sector out, std::size_t at, std::uint32_t extent, std::uint8_t name) {
    out[at + recordLength] = std::byte{rootRecordBytes};
    putBothEndian(out, at + recordExtent, 4, extent);
    putBothEndian(out, at + recordDataLength, 4, static_cast<std::uint32_t>(sectorBytes));
    // Recorded 2026-01-01.
    out[at + recordDate] = std::byte{126};
    out[at + recordDate + 1] = std::byte{1};
    out[at + recordDate + 2] = std::byte{1};
    out[at + recordFlags] = std::byte{directoryFlag};
    putBothEndian(out, at + recordVolumeSequence, 2, 1);
    out[at + recordNameLength] = std::byte{1};
    out[at + recordName] = std::byte{name};
}

void putStandardId(Sector out, unsigned type) {
    out[descriptorType] = static_cast<std::byte>(type);
    putText(out, descriptorIdentifier, standardIdentifier.size(), standardIdentifier);
    out[descriptorVersion] = std::byte{1};
}

// The root's record in a path table, in the table's byte order.
void putRootPath(Sector out, std::uint32_t root, bool little) {
    const auto put = little ? putLittleEndian : putBigEndian;
    out[pathNameLength] = std::byte{1};
    put(out, pathExtent, 4, root);
    put(out, pathParent, 2, 1);
}

} // namespace

bool writeIsoVolume(BackingStore& store, std::int64_t start, std::int64_t end,
                    std::string_view volumeId) {
    // Sectors 16 to 20 of the volume: the primary descriptor, the
    // terminator, the two path tables and the root directory.
    const auto pathTables = static_cast<std::uint32_t>(start + 18);
    const auto root = static_cast<std::uint32_t>(start + 20);
    std::vector<std::uint8_t> bytes(5 * sectorBytes, 0);
    const std::span<std::byte> sectors = std::as_writable_bytes(std::span(bytes));
    const auto sector = [&](std::size_t n) {
        return sectors.subspan(n * sectorBytes, sectorBytes);
    };

    const Sector primary = sector(0);
    putStandardId(primary, primaryType);
    putText(primary, systemIdentifier, 32, "LINUX");
    putText(primary, volumeIdentifier, 32, volumeId);
    putBothEndian(primary, volumeSpaceSize, 4, static_cast<std::uint32_t>(end));
    putBothEndian(primary, volumeSetSize, 2, 1);
    putBothEndian(primary, volumeSequenceNumber, 2, 1);
    putBothEndian(primary, logicalBlockSize, 2, static_cast<std::uint32_t>(sectorBytes));
    putBothEndian(primary, pathTableSize, 4, pathName + 2);
    putLittleEndian(primary, littlePathTable, 4, pathTables);
    putBigEndian(primary, bigPathTable, 4, pathTables + 1);
    putRootRecord(primary, rootDirectoryRecord, root, 0);
    putText(primary, volumeSetIdentifier, creationDate - volumeSetIdentifier, "");
    for (std::size_t date = 0; date < 4; ++date) {
        putText(primary, creationDate + date * dateBytes, dateBytes - 1,
                date == 2 ? "0000000000000000" : "2026010100000000");
    }
    primary[fileStructureVersion] = std::byte{1};

    putStandardId(sector(1), terminatorType);
    putRootPath(sector(2), root, true);
    putRootPath(sector(3), root, false);
    putRootRecord(sector(4), 0, root, 0);
    putRootRecord(sector(4), rootRecordBytes, root, 1);
    return store.write(start + firstDescriptorSector, bytes);
}

} // namespace emulator
