// SPDX-License-Identifier: GPL-3.0-or-later
// Apple UDIF images expanded by the tool's reader, against dmg2img and 7-Zip.
#include "disctool/image/DiskImage.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestImage.h"
#include "tests/support/ToolRun.h"
#include "tests/support/UdifFixture.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

using udiffixture::Coding;
using udiffixture::Table;

std::vector<char> streamed(disctool::DiskImage& image, std::string& failure) {
    const std::unique_ptr<disctool::ImageStream> stream = image.stream(nullptr);
    std::vector<char> out;
    std::vector<std::byte> block(300 * 1024); // not a multiple of any chunk
    for (;;) {
        const std::int64_t got = stream->read(block);
        if (got <= 0) {
            failure = got < 0 ? stream->failure() : "";
            return out;
        }
        const auto* bytes = reinterpret_cast<const char*>(block.data());
        out.insert(out.end(), bytes, bytes + got);
    }
}

std::vector<char> content() {
    // Compressible and not: text-like runs, pseudo-random bytes.
    std::vector<char> bytes(3 * 1024 * 1024);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] =
            static_cast<char>((i / 4096) % 3 == 0 ? 'a' + (i / 7) % 5 : (i * 2654435761U) >> 13);
    }
    return bytes;
}

// What another program expands an image to in `output`: a file, or a folder
// of one file per partition, concatenated in the order of their names.
std::vector<char> expandedBy(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& output) {
    ToolRun::Options options;
    options.program = program;
    const ToolResult result = runTool(arguments, options);
    EXPECT_EQ(result.status, 0) << program << ": " << result.lines.back();
    if (!std::filesystem::is_directory(output)) {
        return readWholeFile(output);
    }
    std::vector<std::string> parts;
    for (const auto& entry : std::filesystem::directory_iterator(output)) {
        parts.push_back(entry.path());
    }
    std::sort(parts.begin(), parts.end());
    std::vector<char> all;
    for (const std::string& part : parts) {
        const std::vector<char> bytes = readWholeFile(part);
        all.insert(all.end(), bytes.begin(), bytes.end());
    }
    return all;
}

struct Layout {
    const char* name;
    std::vector<Table> tables;
    bool dmg2imgReadsIt = true;
    bool sevenZipReadsIt = true;
};

TEST(UdifImage, ExpandsAsDmg2imgAnd7ZipDo) {
    const std::vector<char> source = content();
    const std::vector<Layout> layouts = {
        {"every coding",
         {{"disk image",
           {{Coding::Raw, 8},
            {Coding::Zlib, 2048},
            {Coding::Zeros, 64},
            {Coding::Bzip2, 2048},
            {Coding::Ignored, 3},
            {Coding::Adc, 700},
            {Coding::Zlib, 1}}}}},
        {"partition map, volume and free space",
         {{"Driver Descriptor Map", {{Coding::Raw, 1}}},
          {"Apple_partition_map", {{Coding::Zlib, 63}}},
          {"Apple_HFS", {{Coding::Zlib, 2048}, {Coding::Zlib, 2048}, {Coding::Zlib, 100}}},
          {"Apple_Free", {{Coding::Ignored, 20}}}}},
        // dmg2img writes only what chunks name, dropping the table's last
        // sectors, which the table's size says are there; 7-Zip takes the
        // table for broken.
        {"a table that ends before its last sector",
         {{"disk image", {{Coding::Zlib, 500}}, 12}},
         false,
         false},
        // dmg2img reads no xz.
        {"xz", {{"disk image", {{Coding::Xz, 2048}, {Coding::Xz, 17}}}}, false},
    };
    for (const Layout& layout : layouts) {
        ScratchDirectory scratch;
        const udiffixture::Image made = udiffixture::make(layout.tables, source);
        const std::string dmg = scratch.file("image.dmg");
        writeFile(dmg, made.file);

        std::string problem;
        const std::unique_ptr<disctool::DiskImage> image = disctool::DiskImage::open(dmg, problem);
        ASSERT_TRUE(image) << layout.name << ": " << problem;
        EXPECT_EQ(image->size(), static_cast<std::int64_t>(made.expanded.size())) << layout.name;
        std::string failure;
        EXPECT_EQ(streamed(*image, failure), made.expanded) << layout.name;
        EXPECT_EQ(failure, "") << layout.name;
        // Random access, across chunk borders.
        const std::size_t at = made.expanded.size() / 3 + 5;
        std::vector<std::byte> piece(
            std::min<std::size_t>(1024 * 1024 + 7, made.expanded.size() - at));
        ASSERT_TRUE(image->readAt(static_cast<std::int64_t>(at), piece, problem)) << problem;
        EXPECT_EQ(std::memcmp(piece.data(), made.expanded.data() + at, piece.size()), 0)
            << layout.name;

        if (layout.sevenZipReadsIt) {
            EXPECT_EQ(expandedBy("/usr/bin/7zz", {"x", "-tdmg", "-o" + scratch.file("7z"), dmg},
                                 scratch.file("7z")),
                      made.expanded)
                << layout.name;
        }
        if (layout.dmg2imgReadsIt) {
            EXPECT_EQ(expandedBy("/usr/bin/dmg2img", {"-i", dmg, "-o", scratch.file("dmg2img.img")},
                                 scratch.file("dmg2img.img")),
                      made.expanded)
                << layout.name;
        }
    }
}

// A crafted image: what it changes in a well-made one.
using Craft = std::function<void(udiffixture::Options&)>;
struct Crafted {
    const char* name;
    Craft craft;
};

Craft inFirstTable(std::size_t at, std::uint64_t value) {
    return [=](udiffixture::Options& options) {
        options.editTable = [=](std::vector<char>& mish) {
            udiffixture::putBig(mish, at, value, 8);
        };
    };
}

Craft inPropertyList(std::string from, std::string to) {
    return [=](udiffixture::Options& options) {
        options.editPropertyList = [=](std::string& xml) {
            xml.replace(xml.find(from), from.size(), to);
        };
    };
}

Craft inFile(const std::function<void(std::vector<char>&)>& edit) {
    return [=](udiffixture::Options& options) {
        options.editFile = edit;
    };
}

TEST(UdifImage, ACraftedImageIsAClearFailure) {
    // The table's two chunks of 32 sectors are entries at 204 and 244:
    // sectors at +8, count at +16, file offset at +24.
    const std::vector<Crafted> crafted = {
        {"a chunk outside the file", inFirstTable(204 + 24, 1U << 30)},
        {"a chunk over another's bytes", inFirstTable(244 + 24, 0)},
        {"a chunk that expands to more sectors than it holds",
         [](auto& o) {
             o.withChecksums = false;
             o.editTable = [](std::vector<char>& mish) {
                 udiffixture::putBig(mish, 16, 65, 8);
                 udiffixture::putBig(mish, 244 + 16, 33, 8);
             };
         }},
        {"a table of more sectors than any disc holds", inFirstTable(16, std::uint64_t{1} << 40)},
        {"no property list", inPropertyList("<plist", "<plisx")},
        // libplist skips what is not base64; what it then decodes is no table.
        {"base64 that is not", inPropertyList("<data>", "<data>!*~QUJD")},
        {"a trailer that counts a sector less than the tables",
         inFile([](auto& file) { udiffixture::putBig(file, file.size() - 512 + 492, 63, 8); })},
        // Cut off, it has no trailer, yet is no plain sector image either.
        {"a file cut off in its data", inFile([](auto& file) { file.resize(file.size() / 2); })},
    };
    for (const Crafted& image : crafted) {
        ScratchDirectory scratch;
        const std::string dmg = scratch.file("image.dmg");
        udiffixture::Options options;
        image.craft(options);
        writeFile(dmg, udiffixture::make({{"disk image", {{Coding::Zlib, 32}, {Coding::Zlib, 32}}}},
                                         content(), options)
                           .file);
        std::string problem;
        const std::unique_ptr<disctool::DiskImage> opened = disctool::DiskImage::open(dmg, problem);
        std::string failure = problem;
        if (opened) {
            streamed(*opened, failure);
        }
        EXPECT_TRUE(failure.starts_with("The image is damaged (")) << image.name << ": " << failure;
    }
}

} // namespace
