// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/DiscFixture.h"

#include "tests/support/TestImage.h"
#include "tests/support/ToolRun.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

constexpr std::size_t sector = 2048;
constexpr std::size_t mebibyte = 1024 * 1024;

void run(const std::string& program, const std::vector<std::string>& arguments) {
    const ToolResult result = runTool(arguments, {.program = program});
    if (result.status != 0) {
        throw std::runtime_error(program +
                                 " failed: " + (result.lines.empty() ? "" : result.lines.back()));
    }
}

// A file system made on an empty file of `bytes`.
void makeFileSystem(const std::string& path, std::size_t bytes, const std::string& program,
                    std::vector<std::string> arguments) {
    writeFile(path, {});
    std::filesystem::resize_file(path, bytes);
    arguments.push_back(path);
    run(program, arguments);
}

// Zeros from byte `from` to `to` of the file, in place.
void zero(const std::string& path, std::size_t from, std::size_t to) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(from));
    const std::vector<char> zeros(to - from);
    if (!file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()))) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace

void writeDiscFixture(const std::string& kind, const std::string& path) {
    const std::string file = path + ".file";
    if (kind == "iso" || kind == "udf" || kind == "blanked-iso" || kind == "blanking-mark") {
        writeTestImage(file, 300001);
        if (kind == "udf") {
            run("/usr/bin/genisoimage", {"-quiet", "-udf", "-V", "EMBERLIN_UDF", "-o", path, file});
            return;
        }
        run("/usr/bin/xorriso",
            {"-as", "mkisofs", "-quiet", "-V", "EMBERLIN_ISO", "-o", path, file});
        if (kind == "iso") {
            return;
        }
        run("/usr/bin/xorriso", {"-outdev", "stdio:" + path, "-blank", "as_needed"});
        if (kind == "blanking-mark") {
            zero(path, 0, 16 * sector);
            zero(path, 18 * sector, std::filesystem::file_size(path));
        }
    } else if (kind == "ext") {
        makeFileSystem(path, 4 * mebibyte, "/usr/sbin/mkfs.ext2", {"-q", "-F", "-L", "holiday"});
    } else if (kind == "btrfs") {
        makeFileSystem(path, 128 * mebibyte, "/usr/sbin/mkfs.btrfs", {"-q", "-L", "backup"});
    } else if (kind == "reiserfs") {
        makeFileSystem(path, 64 * mebibyte, "/usr/sbin/mkfs.reiserfs", {"-q", "-f"});
    } else if (kind == "gpt" || kind == "gpt-backup") {
        makeFileSystem(path, 10 * mebibyte, "/usr/sbin/sgdisk", {"-o"});
        if (kind == "gpt-backup") {
            // The protective MBR, the primary header and its entries.
            zero(path, 0, 34 * 512);
        }
    } else if (kind == "zeros") {
        writeFile(path, std::vector<char>(4 * mebibyte));
    } else if (kind == "zero-start") {
        writeTestImage(path, 4 * mebibyte);
        zero(path, 0, 64 * 1024);
    } else if (kind == "raw") {
        writeTestImage(path, 256 * 1024);
    } else {
        throw std::invalid_argument("no disc fixture " + kind);
    }
}
