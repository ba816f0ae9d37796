// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/DiscContent.h"

#include "media/MediumFacts.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace disctool {

namespace {

constexpr auto sectorBytes = static_cast<std::size_t>(media::sectorBytes);
// Volume descriptors (ISO 9660) and the volume recognition sequence (UDF)
// take the sectors from 16 on; the first 64 KiB hold sixteen of them.
constexpr std::size_t firstDescriptor = 16 * sectorBytes;

class Bytes {
public:
    explicit Bytes(std::span<const std::byte> bytes)
        : bytes_(bytes) {}

    bool has(std::size_t at, std::string_view text) const {
        return at + text.size() <= bytes_.size() &&
               std::equal(text.begin(), text.end(),
                          bytes_.begin() + static_cast<std::ptrdiff_t>(at),
                          [](char expected, std::byte got) {
                              return static_cast<std::byte>(expected) == got;
                          });
    }
    unsigned at(std::size_t offset) const {
        return offset < bytes_.size() ? std::to_integer<unsigned>(bytes_[offset]) : 0;
    }
    unsigned bigEndian16(std::size_t offset) const { return at(offset) << 8 | at(offset + 1); }
    unsigned littleEndian16(std::size_t offset) const { return at(offset) | at(offset + 1) << 8; }
    bool allZero() const {
        return std::all_of(bytes_.begin(), bytes_.end(),
                           [](std::byte b) { return b == std::byte{0}; });
    }

private:
    std::span<const std::byte> bytes_;
};

// A descriptor among those from sector 16 on whose identifier (bytes 1-5,
// then version 1) is one of `identifiers`.
bool hasDescriptor(const Bytes& bytes, std::initializer_list<std::string_view> identifiers) {
    for (std::size_t at = firstDescriptor; at < discStartBytes; at += sectorBytes) {
        for (const std::string_view identifier : identifiers) {
            if (bytes.has(at + 1, identifier) && bytes.at(at + 6) == 1) {
                return true;
            }
        }
    }
    return false;
}

bool isHfsPlus(const Bytes& bytes) {
    // The volume header at byte 1024: "H+" version 4, or "HX" (case-sensitive) version 5.
    return (bytes.has(1024, "H+") && bytes.bigEndian16(1026) == 4) ||
           (bytes.has(1024, "HX") && bytes.bigEndian16(1026) == 5);
}

bool isExt(const Bytes& bytes) {
    // The superblock at byte 1024, its magic 0xEF53 at offset 56.
    return bytes.littleEndian16(1024 + 56) == 0xef53;
}

bool hasBootSignature(const Bytes& bytes) {
    return bytes.at(510) == 0x55 && bytes.at(511) == 0xaa;
}

bool isFat(const Bytes& bytes) {
    if (bytes.has(3, "EXFAT   ")) {
        return true;
    }
    // A boot sector: a jump, then a BIOS parameter block with a sector size
    // and a cluster size that are powers of two.
    const unsigned sectorSize = bytes.littleEndian16(11);
    const unsigned clusterSectors = bytes.at(13);
    const auto powerOfTwo = [](unsigned value) {
        return value != 0 && (value & (value - 1)) == 0;
    };
    return hasBootSignature(bytes) && (bytes.at(0) == 0xeb || bytes.at(0) == 0xe9) &&
           sectorSize >= 512 && sectorSize <= 4096 && powerOfTwo(sectorSize) &&
           powerOfTwo(clusterSectors);
}

bool isPartitionTable(const Bytes& bytes) {
    // GPT behind a protective MBR (512-byte or 2048-byte blocks), an Apple
    // partition map, or an MBR.
    return bytes.has(512, "EFI PART") || bytes.has(sectorBytes, "EFI PART") ||
           (bytes.has(0, "ER") && bytes.has(512, "PM")) || hasBootSignature(bytes);
}

bool isInvalidatedIso9660(const Bytes& bytes) {
    // What libisoburn's blank of an overwritable disc leaves: the primary
    // volume descriptor, its identifier turned into "CDXX1".
    return bytes.at(firstDescriptor) == 1 && bytes.has(firstDescriptor + 1, "CDXX1") &&
           bytes.at(firstDescriptor + 6) == 1;
}

} // namespace

DiscContent classifyDiscStart(std::span<const std::byte> start) {
    const Bytes bytes(start);
    if (start.size() < discStartBytes) {
        return DiscContent::Unreadable;
    }
    if (bytes.allZero()) {
        return DiscContent::Blank;
    }
    // A UDF bridge carries ISO 9660 descriptors too: UDF is what it is read as.
    if (hasDescriptor(bytes, {"NSR02", "NSR03", "BEA01", "TEA01"})) {
        return DiscContent::Udf;
    }
    if (hasDescriptor(bytes, {"CD001"})) {
        return DiscContent::Iso9660;
    }
    if (isHfsPlus(bytes)) {
        return DiscContent::HfsPlus;
    }
    if (isExt(bytes)) {
        return DiscContent::Ext;
    }
    if (bytes.has(3, "NTFS    ")) {
        return DiscContent::Ntfs;
    }
    if (isFat(bytes)) {
        return DiscContent::Fat;
    }
    if (isPartitionTable(bytes)) {
        return DiscContent::PartitionTable;
    }
    if (isInvalidatedIso9660(bytes)) {
        return DiscContent::Blank;
    }
    return DiscContent::UnknownData;
}

bool holdsData(DiscContent content) {
    return content != DiscContent::Unexamined && content != DiscContent::Blank;
}

std::string_view describe(DiscContent content) {
    switch (content) {
    case DiscContent::Unexamined:
    case DiscContent::Blank:
        return "nothing";
    case DiscContent::Iso9660:
        return "an ISO 9660 file system";
    case DiscContent::Udf:
        return "a UDF file system";
    case DiscContent::HfsPlus:
        return "an HFS+ volume";
    case DiscContent::Fat:
        return "a FAT file system";
    case DiscContent::Ntfs:
        return "an NTFS file system";
    case DiscContent::Ext:
        return "an ext2/3/4 file system";
    case DiscContent::PartitionTable:
        return "a partition table";
    case DiscContent::UnknownData:
        return "data of an unknown kind";
    case DiscContent::Unreadable:
        return "sectors that cannot be read, which may hold data";
    }
    return "data of an unknown kind";
}

} // namespace disctool
