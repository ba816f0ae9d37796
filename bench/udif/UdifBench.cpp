// SPDX-License-Identifier: GPL-3.0-or-later
// Expands UDZO, UDBZ and ULMO images of one disc image to a file with
// emberlin-disctool and with dmg2img, in one run, and burns the UDZO image and
// the raw image to an emulated BD-R at 16x. Prints each time and the ratios:
// the tool should expand at least as fast as dmg2img (1.6 times for bzip2,
// whose chunks it expands on every core) and burn the .dmg within 2 % of the
// raw image (the write alone: a verify reads the disc back either way).
//
// The tool's time includes getting the bytes onto the disk (it ends with an
// fsync) and hashing the file and the image; dmg2img does neither, so its
// time includes a `sync` of what it wrote, and no hashing. CPU seconds (user
// and system, of the command and its children) are printed beside the wall
// time, which other work on the machine sways more.
//
// A verified burn of the UDBZ image to a file shows the verify's own time
// (the verified burn's less the unverified one's): it expands the image
// again, and should take no longer than the write did.
//
// Usage: emberlin-bench-udif [MIB]   (1024 by default)

#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestImage.h"
#include "tests/support/ToolRun.h"
#include "tests/support/UdifFixture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using udiffixture::Coding;

struct Timing {
    double wall = -1.0; // seconds; negative when the command failed
    double cpu = 0.0;
};

double childCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

Timing timed(const std::string& program, const std::vector<std::string>& arguments) {
    ToolRun::Options options;
    options.program = program;
    const double cpuBefore = childCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    ToolRun run(arguments, options);
    const int status = run.finish(std::chrono::hours(1));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {status == 0 ? took.count() : -1.0, childCpuSeconds() - cpuBefore};
}

// Half of each MiB pseudo-random, half text-like: it compresses as a disc of
// installers and documents does, to about 60 %.
std::vector<char> discImage(std::size_t mebibytes) {
    std::vector<char> bytes(mebibytes * 1024 * 1024);
    std::uint64_t state = 88172645463325252ULL;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if ((i >> 19) % 2 == 0) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            bytes[i] = static_cast<char>(state);
        } else {
            bytes[i] = "the quick brown fox jumps over the lazy dog "[(i * 7 + i / 4096) % 44];
        }
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
    ScratchDirectory scratch;
    const std::vector<char> disc = discImage(mebibytes);
    const std::string raw = scratch.file("disc.iso");
    writeFile(raw, disc);

    struct Format {
        const char* name;
        Coding coding;
        bool dmg2imgReadsIt;
    };
    std::printf("%zu MiB disc image, chunks of 1 MiB; wall seconds (CPU seconds)\n", mebibytes);
    std::printf("%-6s %14s %16s %8s\n", "format", "tool", "dmg2img+sync", "speed-up");
    for (const Format format :
         {Format{"UDZO", Coding::Zlib, true}, Format{"UDBZ", Coding::Bzip2, true},
          Format{"ULMO", Coding::Xz, false}}) {
        std::vector<udiffixture::Chunk> chunks(mebibytes, {format.coding, 2048});
        const std::string dmg = scratch.file(std::string(format.name) + ".dmg");
        writeFile(dmg, udiffixture::make({{"disk image", chunks}}, disc).file);
        const Timing tool = timed(EMBERLIN_DISCTOOL, {"burn", dmg, "-noverifyburn", "-device",
                                                      "stdio:" + scratch.file("tool.img")});
        const Timing dmg2img =
            !format.dmg2imgReadsIt
                ? Timing{}
                : timed("/bin/sh", {"-c", "/usr/bin/dmg2img -s -i \"$0\" -o \"$1\" && sync \"$1\"",
                                    dmg, scratch.file("dmg2img.img")});
        if (dmg2img.wall > 0) {
            std::printf("%-6s %6.2f (%5.2f) %7.2f (%5.2f) %7.2fx\n", format.name, tool.wall,
                        tool.cpu, dmg2img.wall, dmg2img.cpu, dmg2img.wall / tool.wall);
        } else {
            std::printf("%-6s %6.2f (%5.2f) %16s %8s\n", format.name, tool.wall, tool.cpu,
                        "(cannot)", "-");
        }
    }
    const Timing written =
        timed(EMBERLIN_DISCTOOL, {"burn", scratch.file("UDBZ.dmg"), "-noverifyburn", "-device",
                                  "stdio:" + scratch.file("tool.img")});
    const Timing verified =
        timed(EMBERLIN_DISCTOOL, {"burn", scratch.file("UDBZ.dmg"), "-verifyburn", "-device",
                                  "stdio:" + scratch.file("tool.img")});
    std::printf("UDBZ to a file: write %.2f s, its verify %.2f s\n", written.wall,
                verified.wall - written.wall);

    const auto burn = [&](const std::string& image, const std::string& disc) {
        return timed(EMBERLIN_DISCTOOL,
                     {"burn", image, "-noverifyburn", "-forceclose", "-puppetstrings", "-device",
                      "sim:" + scratch.file(disc) + "?medium=bd-r&rate=16x"});
    };
    const double rawBurn = burn(raw, "raw.bd").wall;
    const double dmgBurn = burn(scratch.file("UDZO.dmg"), "udzo.bd").wall;
    std::printf("BD-R at 16x: raw image %.2f s, UDZO %.2f s (%+.1f %%)\n", rawBurn, dmgBurn,
                100.0 * (dmgBurn - rawBurn) / rawBurn);
    return 0;
}
