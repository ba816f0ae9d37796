// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The layout of an ISO 9660 volume (ECMA-119), written once for the
// emulator, which writes volumes on the discs it makes, and the tool, which
// reads where an image's volume was mastered to lie.
namespace iso9660 {

inline constexpr std::size_t sectorBytes = 2048;
// Volume descriptors from sector 16 on; an image's first 32 sectors hold them.
inline constexpr std::int64_t firstDescriptorSector = 16;
inline constexpr std::int64_t descriptorSectors = 16;

// Every volume descriptor (8.1): its type, then "CD001", then version 1.
inline constexpr std::size_t descriptorType = 0;
inline constexpr std::size_t descriptorIdentifier = 1;
inline constexpr std::size_t descriptorVersion = 6;
inline constexpr std::string_view standardIdentifier = "CD001";
inline constexpr unsigned primaryType = 1;
inline constexpr unsigned terminatorType = 255;

// The primary volume descriptor (8.4).
inline constexpr std::size_t systemIdentifier = 8;  // 32 characters
inline constexpr std::size_t volumeIdentifier = 40; // 32 characters
inline constexpr std::size_t volumeSpaceSize = 80;  // both-endian 32
inline constexpr std::size_t volumeSetSize = 120;   // both-endian 16
inline constexpr std::size_t volumeSequenceNumber = 124;
inline constexpr std::size_t logicalBlockSize = 128;
inline constexpr std::size_t pathTableSize = 132;   // both-endian 32
inline constexpr std::size_t littlePathTable = 140; // little-endian 32
inline constexpr std::size_t bigPathTable = 148;    // big-endian 32
inline constexpr std::size_t rootDirectoryRecord = 156;
inline constexpr std::size_t volumeSetIdentifier = 190; // to the dates: 623 characters
inline constexpr std::size_t creationDate = 813;        // then modification, expiration, effective
inline constexpr std::size_t dateBytes = 17;
inline constexpr std::size_t fileStructureVersion = 881;

// A directory record (9.1).
inline constexpr std::size_t recordLength = 0;
inline constexpr std::size_t recordExtent = 2;      // both-endian 32
inline constexpr std::size_t recordDataLength = 10; // both-endian 32
inline constexpr std::size_t recordDate = 18;
inline constexpr std::size_t recordFlags = 25;
inline constexpr std::size_t recordVolumeSequence = 28; // both-endian 16
inline constexpr std::size_t recordNameLength = 32;
inline constexpr std::size_t recordName = 33;
inline constexpr std::size_t rootRecordBytes = 34;
inline constexpr unsigned directoryFlag = 0x02;

// A path table record (9.4); the root's comes first, its name one zero byte.
inline constexpr std::size_t pathNameLength = 0;
inline constexpr std::size_t pathExtent = 2; // in the table's byte order
inline constexpr std::size_t pathParent = 6; // 16 bits, in the table's byte order
inline constexpr std::size_t pathName = 8;

inline unsigned byteAt(std::span<const std::byte> bytes, std::size_t at) {
    return std::to_integer<unsigned>(bytes[at]);
}

inline std::uint32_t littleEndian(std::span<const std::byte> bytes, std::size_t at,
                                  std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(byteAt(bytes, at + i)) << (8 * i);
    }
    return value;
}

inline std::uint32_t bigEndian(std::span<const std::byte> bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value = value << 8 | byteAt(bytes, at + i);
    }
    return value;
}

// A 32-bit number recorded both ways (7.3.3): nullopt when the two
// disagree, as in no real descriptor.
inline std::optional<std::uint32_t> bothEndian32(std::span<const std::byte> bytes, std::size_t at) {
    const std::uint32_t little = littleEndian(bytes, at, 4);
    if (little != bigEndian(bytes, at + 4, 4)) {
        return std::nullopt;
    }
    return little;
}

inline void putLittleEndian(std::span<std::byte> out, std::size_t at, std::size_t size,
                            std::uint32_t value) {
    for (std::size_t i = 0; i < size; ++i) {
        out[at + i] = static_cast<std::byte>(value >> (8 * i));
    }
}

inline void putBigEndian(std::span<std::byte> out, std::size_t at, std::size_t size,
                         std::uint32_t value) {
    for (std::size_t i = 0; i < size; ++i) {
        out[at + size - 1 - i] = static_cast<std::byte>(value >> (8 * i));
    }
}

// A number recorded both ways (7.2.3, 7.3.3): little-endian, then big-endian.
inline void putBothEndian(std::span<std::byte> out, std::size_t at, std::size_t size,
                          std::uint32_t value) {
    putLittleEndian(out, at, size, value);
    putBigEndian(out, at + size, size, value);
}

} // namespace iso9660
