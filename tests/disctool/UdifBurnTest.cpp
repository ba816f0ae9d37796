// SPDX-License-Identifier: GPL-3.0-or-later
// Apple UDIF images (.dmg) burned by the real tool: the disc holds what the
// image expands to; what cannot be burned is refused before any byte is written.
#include "protocol/ToolProtocol.h"
#include "tests/disctool/TranscriptChecker.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestImage.h"
#include "tests/support/ToolRun.h"
#include "tests/support/UdifFixture.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using udiffixture::Coding;
using udiffixture::Table;

const std::vector<Table> hfsLike = {
    {"Apple_partition_map", {{Coding::Zlib, 63}}},
    {"Apple_HFS", {{Coding::Bzip2, 2048}, {Coding::Zlib, 900}, {Coding::Ignored, 200}}},
};

std::vector<char> content() {
    std::vector<char> bytes(1024 * 1024);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 2654435761U) >> 11);
    }
    return bytes;
}

TEST(UdifBurn, TheDiscHoldsTheExpandedImageAndTheFileKeepsItsOwnDigest) {
    const udiffixture::Image made = udiffixture::make(hfsLike, content());
    for (const std::string kind : {"stdio", "cd-r", "dvd+rw", "bd-r"}) {
        SCOPED_TRACE(kind);
        ScratchDirectory scratch;
        writeFile(scratch.file("image.dmg"), made.file);
        const std::string disc = scratch.file("disc.img");
        const std::string device =
            kind == "stdio" ? "stdio:" + disc : "sim:" + disc + "?medium=" + kind;
        const ToolResult result = runTool(puppetBurn(scratch.file("image.dmg"), device));
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(checkTranscript(result.lines), "");
        EXPECT_EQ(result.lines.back(), toolprotocol::burnCompleted);
        EXPECT_EQ(checkFacts(result.lines, made.expanded, false, made.file), "");
        EXPECT_TRUE(holdsImage(readWholeFile(disc), made.expanded));
    }
}

struct Refusal {
    std::string name;
    std::vector<char> file;
    std::string sentence; // the start of the failure's text
    // Damage that shows only when a chunk is expanded: the burn has begun.
    bool foundWhileWriting = false;
};

std::vector<char> damagedInTheMiddle(std::vector<char> file) {
    file[file.size() / 4] ^= 0x55;
    return file;
}

// An image whose raw first chunk could start a plain image, cut off at `end`
// (from the end where negative).
std::vector<char> cutTo(std::ptrdiff_t end) {
    std::vector<char> file =
        udiffixture::make({{"disk image", {{Coding::Raw, 64}, {Coding::Zlib, 64}}}}, content())
            .file;
    file.resize(static_cast<std::size_t>(end < 0 ? std::ssize(file) + end : end));
    return file;
}

TEST(UdifBurn, WhatCannotBeBurnedIsRefusedWithItsReason) {
    const std::string cutOffSentence =
        "The image is damaged (it ends before its trailer), so nothing was written.";
    std::vector<char> encrypted(8192);
    std::copy_n("encrcdsa", 8, encrypted.begin());
    const std::vector<Refusal> refusals = {
        {"LZFSE",
         udiffixture::make({{"disk image", {{Coding::Zlib, 8}, {Coding::Lzfse, 8}}}}, content())
             .file,
         "The image is compressed with LZFSE, which cannot be expanded here. To burn it, convert "
         "it on a Mac with \"hdiutil convert IMAGE -format UDZO -o NEW.dmg\""},
        {"encrypted", encrypted, "The image is encrypted"},
        {"segmented", udiffixture::make(hfsLike, content(), {3, true, {}, {}}).file,
         "The image is one of 3 segments of a split image"},
        {"damaged", damagedInTheMiddle(udiffixture::make(hfsLike, content()).file),
         "The image is damaged (its data does not match its checksum), so nothing was written."},
        {"truncated",
         [] {
             std::vector<char> file = udiffixture::make(hfsLike, content()).file;
             file.erase(file.begin() + 100, file.begin() + 2000);
             return file;
         }(),
         "The image is damaged"},
        {"damaged without checksums",
         damagedInTheMiddle(udiffixture::make(hfsLike, content(), {1, false, {}, {}}).file),
         "burn failed - The image is damaged (the chunk at byte ", true},
        {"cut off in its property list", cutTo(-700), cutOffSentence},
        {"cut off in its raw data", cutTo(10000), cutOffSentence},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        ScratchDirectory scratch;
        writeFile(scratch.file("image.dmg"), refusal.file);
        const std::string disc = scratch.file("disc.iso");
        const ToolResult result = runTool(puppetBurn(scratch.file("image.dmg"), "stdio:" + disc));
        EXPECT_NE(result.status, 0);
        EXPECT_EQ(checkTranscript(result.lines), "");
        EXPECT_TRUE(std::any_of(result.lines.begin(), result.lines.end(),
                                [&](const std::string& line) {
                                    return line.find(refusal.sentence) != std::string::npos;
                                }))
            << result.lines.back();
        EXPECT_TRUE(refusal.foundWhileWriting || !std::filesystem::exists(disc));
    }
}

} // namespace
