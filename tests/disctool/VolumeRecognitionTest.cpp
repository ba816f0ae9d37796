// SPDX-License-Identifier: GPL-3.0-or-later
// What the bytes at the start of a disc or an image say: whether a disc holds
// data, and where an ISO 9660 volume can be read.
#include "disctool/DiscContent.h"
#include "disctool/IsoVolume.h"
#include "tests/support/TestImage.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace disctool;
constexpr std::size_t sector16 = 16 * 2048;

Writes primaryVolume(std::size_t at, std::uint32_t spaceSectors, std::uint32_t rootSector) {
    return {{at, primaryVolumeDescriptor(spaceSectors, rootSector)}};
}

std::vector<char> discStart(const Writes& writes, std::size_t size = discStartBytes) {
    return bytesWith(writes, size);
}

TEST(DiscContent, TheStartOfAnOverwritableDiscIsBlankOnlyWhenNothingIsThere) {
    const std::string bootSignature = "\x55\xaa";
    const std::vector<std::tuple<std::string, std::vector<char>, DiscContent>> cases = {
        {"never written", discStart({}), DiscContent::Blank},
        {"a read that fell short", discStart({}, discStartBytes - 2048), DiscContent::Unreadable},
        {"ISO 9660", discStart(primaryVolume(sector16, 100, 20)), DiscContent::Iso9660},
        {"ISO 9660 behind a boot record",
         discStart(Writes{{sector16, std::string("\0CD001\x01", 7)}} +
                   primaryVolume(sector16 + 2048, 100, 20)),
         DiscContent::Iso9660},
        {"UDF bridge", discStart(primaryVolume(sector16, 100, 20) + startOf("udf")),
         DiscContent::Udf},
        {"UDF 2.0", discStart({{sector16 + 4096, std::string("\0NSR03\x01", 7)}}),
         DiscContent::Udf},
        {"HFS+", discStart(startOf("hfs+")), DiscContent::HfsPlus},
        {"HFSX", discStart({{1024, std::string("HX\0\x05", 4)}}), DiscContent::HfsPlus},
        {"HFS+ of an unknown version", discStart({{1024, std::string("H+\0\x05", 4)}}),
         DiscContent::UnknownData},
        {"ext4", discStart({{1080, "\x53\xef"}}), DiscContent::Ext},
        {"NTFS", discStart({{0, "\xeb\x52\x90NTFS    "}, {510, bootSignature}}), DiscContent::Ntfs},
        {"FAT", discStart(startOf("fat")), DiscContent::Fat},
        {"exFAT", discStart({{0, "\353\166\220EXFAT   "}, {510, bootSignature}}), DiscContent::Fat},
        {"MBR", discStart(startOf("mbr")), DiscContent::PartitionTable},
        {"GPT", discStart({{510, bootSignature}, {512, "EFI PART"}}), DiscContent::PartitionTable},
        {"Apple partition map", discStart({{0, "ER"}, {512, "PM"}}), DiscContent::PartitionTable},
        {"ISO 9660 invalidated by a blanking tool",
         discStart({{sector16, primaryVolumeDescriptor(100, 20).replace(1, 5, "CDXX1")}}),
         DiscContent::Blank},
        {"an invalidated hybrid keeps its partition table",
         discStart({{sector16, "\001CDXX1\001"}, {510, bootSignature}}),
         DiscContent::PartitionTable},
        {"the marker out of place", discStart({{sector16, "\002CDXX1\001"}}),
         DiscContent::UnknownData},
        {"one byte at the end", discStart({{discStartBytes - 1, "\x01"}}),
         DiscContent::UnknownData},
        {"a descriptor without its version", discStart({{sector16, "\001CD001\002"}}),
         DiscContent::UnknownData},
    };
    for (const auto& [name, start, expected] : cases) {
        const DiscContent content = classifyDiscStart(std::as_bytes(std::span(start)));
        EXPECT_EQ(content, expected) << name;
        EXPECT_EQ(holdsData(content), expected != DiscContent::Blank) << name;
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
        const std::vector<char> descriptors =
            discStart(c.descriptors + terminator, IsoVolume::descriptorBytes);
        const std::optional<IsoVolume> volume =
            IsoVolume::fromDescriptors(std::as_bytes(std::span(descriptors)));
        EXPECT_EQ(volume && volume->readableAt(c.start, c.imageSectors), c.readable) << c.name;
    }
}

} // namespace
