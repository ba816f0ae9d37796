// SPDX-License-Identifier: GPL-3.0-or-later
// What the bytes at the start of a disc or an image say: whether a disc holds
// data, and where an ISO 9660 volume can be read.
#include "DiscContent.h"
#include "IsoVolume.h"
#include "TestImage.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace disctool;
using Writes = std::vector<std::pair<std::size_t, std::string>>;

constexpr std::size_t sector16 = 16 * 2048;

// Zeros with `writes` laid over them, each at its byte offset.
std::vector<std::byte> bytesWith(const Writes& writes, std::size_t size = discStartBytes) {
    std::vector<std::byte> bytes(size);
    for (const auto& [at, text] : writes) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            bytes.at(at + i) = static_cast<std::byte>(text[i]);
        }
    }
    return bytes;
}

Writes primaryVolume(std::size_t at, std::uint32_t spaceSectors, std::uint32_t rootSector) {
    return {{at, primaryVolumeDescriptor(spaceSectors, rootSector)}};
}

Writes operator+(Writes first, const Writes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(DiscContent, TheStartOfAnOverwritableDiscIsBlankOnlyWhenNothingIsThere) {
    const std::string bootSignature = "\x55\xaa";
    const Writes fatBootSector = {{0, std::string("\xeb\x58\x90MSDOS5.0\x00\x02\x08", 14)},
                                  {510, bootSignature}};
    const std::vector<std::tuple<std::string, std::vector<std::byte>, DiscContent>> cases = {
        {"never written", bytesWith({}), DiscContent::Blank},
        {"a read that fell short", bytesWith({}, discStartBytes - 2048), DiscContent::Unreadable},
        {"ISO 9660", bytesWith(primaryVolume(sector16, 100, 20)), DiscContent::Iso9660},
        {"ISO 9660 behind a boot record",
         bytesWith(Writes{{sector16, std::string("\0CD001\x01", 7)}} +
                   primaryVolume(sector16 + 2048, 100, 20)),
         DiscContent::Iso9660},
        {"UDF bridge",
         bytesWith(primaryVolume(sector16, 100, 20) +
                   Writes{{sector16 + 2048, std::string("\0BEA01\x01", 7)},
                          {sector16 + 4096, std::string("\0NSR02\x01", 7)}}),
         DiscContent::Udf},
        {"UDF", bytesWith({{sector16 + 4096, std::string("\0NSR03\x01", 7)}}), DiscContent::Udf},
        {"HFS+", bytesWith({{1024, std::string("H+\0\x04", 4)}}), DiscContent::HfsPlus},
        {"HFSX", bytesWith({{1024, std::string("HX\0\x05", 4)}}), DiscContent::HfsPlus},
        {"HFS+ of an unknown version", bytesWith({{1024, std::string("H+\0\x05", 4)}}),
         DiscContent::UnknownData},
        {"ext4", bytesWith({{1080, "\x53\xef"}}), DiscContent::Ext},
        {"NTFS", bytesWith({{0, "\xeb\x52\x90NTFS    "}, {510, bootSignature}}), DiscContent::Ntfs},
        {"FAT", bytesWith(fatBootSector), DiscContent::Fat},
        {"exFAT", bytesWith({{0, "\353\166\220EXFAT   "}, {510, bootSignature}}), DiscContent::Fat},
        {"MBR", bytesWith({{0, "\x33\xc0"}, {446, "\x80"}, {510, bootSignature}}),
         DiscContent::PartitionTable},
        {"GPT", bytesWith({{510, bootSignature}, {512, "EFI PART"}}), DiscContent::PartitionTable},
        {"Apple partition map", bytesWith({{0, "ER"}, {512, "PM"}}), DiscContent::PartitionTable},
        {"ISO 9660 invalidated by a blanking tool",
         bytesWith({{sector16, primaryVolumeDescriptor(100, 20).replace(1, 5, "CDXX1")}}),
         DiscContent::Blank},
        {"an invalidated hybrid keeps its partition table",
         bytesWith({{sector16, "\001CDXX1\001"}, {510, bootSignature}}),
         DiscContent::PartitionTable},
        {"the marker out of place", bytesWith({{sector16, "\002CDXX1\001"}}),
         DiscContent::UnknownData},
        {"one byte at the end", bytesWith({{discStartBytes - 1, "\x01"}}),
         DiscContent::UnknownData},
        {"a descriptor without its version", bytesWith({{sector16, "\001CD001\002"}}),
         DiscContent::UnknownData},
    };
    for (const auto& [name, start, expected] : cases) {
        EXPECT_EQ(classifyDiscStart(start), expected) << name;
        EXPECT_EQ(holdsData(classifyDiscStart(start)), expected != DiscContent::Blank) << name;
    }
}

// An image written from sector `start` on is read where its volume says.
TEST(IsoVolume, AnImageIsReadableOnlyWhereItWasMasteredFor) {
    struct Case {
        std::string name;
        Writes descriptors; // from sector 16 of the image on
        std::int64_t start;
        std::int64_t imageSectors;
        bool readable;
    };
    const Writes terminator = {{5 * 2048, "\377CD001\001"}};
    const std::vector<Case> cases = {
        {"mastered for the start, written there", primaryVolume(0, 1000, 20), 0, 1000, true},
        {"and padded", primaryVolume(0, 1000, 20), 0, 1150, true},
        {"written behind a session", primaryVolume(0, 1000, 20), 11400, 1000, false},
        {"mastered for sector 11400, written there", primaryVolume(0, 12400, 11420), 11400, 1000,
         true},
        {"written elsewhere", primaryVolume(0, 12400, 11420), 11432, 1000, false},
        {"or at the start", primaryVolume(0, 12400, 11420), 0, 1000, false},
        {"a volume larger than the image", primaryVolume(0, 1200, 20), 0, 1000, false},
        {"behind a boot record",
         Writes{{0, std::string("\0CD001\x01", 7)}} + primaryVolume(2048, 1000, 20), 0, 1000, true},
        {"no volume before the terminator",
         Writes{{0, "\377CD001\001"}} + primaryVolume(2048, 1000, 20), 0, 1000, false},
        {"sizes whose two byte orders disagree", primaryVolume(0, 1000, 20) + Writes{{87, "\351"}},
         0, 1000, false},
        {"no ISO 9660 at all", {}, 0, 1000, false},
    };
    for (const Case& c : cases) {
        const std::optional<IsoVolume> volume = IsoVolume::fromDescriptors(
            bytesWith(c.descriptors + terminator, IsoVolume::descriptorBytes));
        EXPECT_EQ(volume && volume->readableAt(c.start, c.imageSectors), c.readable) << c.name;
    }
}

} // namespace
