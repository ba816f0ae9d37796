// SPDX-License-Identifier: GPL-3.0-or-later
// What the bytes at the start of a disc or an image say: whether a disc holds
// data, and where an ISO 9660 volume can be read.
#include "disctool/ContentJudge.h"
#include "disctool/IsoVolume.h"
#include "emulator/BackingStore.h"
#include "emulator/IsoVolume.h"
#include "tests/support/DiscFixture.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestImage.h"
#include "tests/support/ToolRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace disctool;

// What an independent judge, util-linux's wipefs, finds on a disc's bytes.
std::vector<std::string> wipefsFinds(const std::string& path) {
    return runTool({"-n", "--noheadings", "-O", "TYPE", path}, {.program = "/usr/sbin/wipefs"})
        .lines;
}

// Up to `bytes` of the file from `at` on.
std::vector<std::byte> readPart(const std::string& path, std::int64_t at, std::size_t bytes) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(at);
    std::vector<std::byte> read(bytes);
    file.read(reinterpret_cast<char*>(read.data()), static_cast<std::streamsize>(bytes));
    read.resize(static_cast<std::size_t>(file.gcount()));
    return read;
}

// Discs made by the tools that make them, read where the tool reads a disc:
// its first MiBs and its last.
TEST(DiscContent, ADiscIsBlankOnlyWhenNothingIsRecognisedAndItsBytesAreZero) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"zeros", "nothing"},
        {"blanking-mark", "nothing"},
        {"blanked-iso", "data of an unknown kind"},
        {"iso", "an ISO 9660 file system named \"EMBERLIN_ISO\""},
        {"udf", "a UDF file system named \"EMBERLIN_UDF\""},
        {"ext", "an ext2/3/4 file system named \"holiday\""},
        {"btrfs", "a btrfs file system named \"backup\""},
        {"reiserfs", "a ReiserFS file system"},
        {"gpt", "a partition table"},
        {"gpt-backup", "a partition table"},
        {"zero-start", "data of an unknown kind"},
    };
    const ScratchDirectory scratch;
    for (const auto& [kind, holds] : cases) {
        SCOPED_TRACE(kind);
        const std::string path = scratch.file(kind);
        writeDiscFixture(kind, path);
        const auto discBytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
        const std::vector<std::byte> start = readPart(path, 0, discStartBytes);
        const std::vector<std::byte> end =
            readPart(path, std::max<std::int64_t>(0, discBytes - discEndBytes), discEndBytes);
        const DiscContent content = judgeDiscContent(start, end, discBytes);
        EXPECT_EQ(content.describe(), holds);
        EXPECT_EQ(content.holdsData(), holds != "nothing");
        if (!wipefsFinds(path).empty()) {
            EXPECT_TRUE(content.holdsData()) << "wipefs finds " << wipefsFinds(path).front();
        }
        EXPECT_EQ(
            judgeDiscContent(std::span(start).first(start.size() - 2048), end, discBytes).verdict,
            DiscContent::Verdict::Unreadable)
            << "a read that fell short";
    }
}

// Images as the mastering tools make them: a first session, a second one
// made to follow it at the address cdrskin and wodim report (-C 0,NEXT -M
// FIRST), and one mastered for the wrong address.
TEST(IsoVolume, AnImageIsReadableOnlyWhereItWasMasteredFor) {
    const ScratchDirectory scratch;
    const std::string file = scratch.file("file");
    writeTestImage(file, 300001);
    const std::string first = scratch.file("first.iso");
    const auto master = [&](const std::string& program, std::vector<std::string> arguments,
                            const std::string& image) {
        arguments.insert(arguments.end(), {"-quiet", "-o", image, file});
        EXPECT_EQ(runTool(arguments, {.program = program}).status, 0) << program;
        const std::vector<std::byte> descriptors =
            readPart(image, IsoVolume::firstDescriptorByte, IsoVolume::descriptorBytes);
        const std::optional<IsoVolume> volume = IsoVolume::fromDescriptors(descriptors);
        EXPECT_TRUE(volume) << image;
        const auto sectors =
            static_cast<std::int64_t>((std::filesystem::file_size(image) + 2047) / 2048);
        return [volume, sectors](std::int64_t start) {
            return volume && volume->readableAt(start, sectors);
        };
    };
    const auto firstSession = master("/usr/bin/xorriso", {"-as", "mkisofs"}, first);
    EXPECT_TRUE(firstSession(0));
    EXPECT_FALSE(firstSession(11731)) << "behind a session";
    const std::vector<std::pair<std::string, std::vector<std::string>>> tools = {
        {"/usr/bin/genisoimage", {}},
        {"/usr/bin/xorriso", {"-as", "mkisofs"}},
    };
    for (const auto& [program, prefix] : tools) {
        SCOPED_TRACE(program);
        std::vector<std::string> arguments = prefix;
        arguments.insert(arguments.end(), {"-C", "0,11731", "-M", first});
        const auto second = master(program, arguments, scratch.file("second.iso"));
        EXPECT_TRUE(second(11731));
        EXPECT_FALSE(second(0));
        EXPECT_FALSE(second(11732));
        arguments = prefix;
        arguments.insert(arguments.end(), {"-C", "0,11000", "-M", first});
        EXPECT_FALSE(master(program, arguments, scratch.file("misplaced.iso"))(11731));
    }
    EXPECT_FALSE(IsoVolume::fromDescriptors(std::vector<std::byte>(IsoVolume::descriptorBytes)))
        << "no ISO 9660 at all";
}

// The emulator writes the sessions of the discs it makes with the layout the
// tool reads: each volume is found where it was written, and nowhere else.
TEST(IsoVolume, WhatTheEmulatorWritesTheToolFindsWhereItWasWritten) {
    const ScratchDirectory scratch;
    emulator::BackingStore store(scratch.file("disc"));
    for (const std::int64_t start : {0, 11400}) {
        ASSERT_TRUE(
            emulator::writeIsoVolume(store, start, start + emulator::isoVolumeSectors, "SESSION"));
        std::vector<std::uint8_t> descriptors(IsoVolume::descriptorBytes);
        ASSERT_TRUE(store.read(start + 16, descriptors));
        const std::optional<IsoVolume> volume =
            IsoVolume::fromDescriptors(std::as_bytes(std::span(descriptors)));
        ASSERT_TRUE(volume) << start;
        EXPECT_TRUE(volume->readableAt(start, emulator::isoVolumeSectors)) << start;
        EXPECT_FALSE(volume->readableAt(start + 1, emulator::isoVolumeSectors)) << start;
    }
}

} // namespace
