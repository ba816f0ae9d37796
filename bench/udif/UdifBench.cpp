// SPDX-License-Identifier: GPL-3.0-or-later
// Expands UDZO, UDBZ and ULMO images of one disc image to a file with
// emberlin-disctool and with dmg2img, in one run, and burns the UDZO image and
// the raw image to an emulated BD-R at 16x. Prints each time and the ratios:
// the tool should expand at least as fast as dmg2img (1.6 times for bzip2,
// whose chunks it expands on every core) and burn the .dmg within 2 % of the
// raw image (the write alone: a verify reads the disc back either way).
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
#include <vector>

namespace {

using udiffixture::Coding;

// Seconds the command took, or a negative number when it failed.
double timed(const std::string& program, const std::vector<std::string>& arguments) {
    ToolRun::Options options;
    options.program = program;
    const auto start = std::chrono::steady_clock::now();
    ToolRun run(arguments, options);
    const int status = run.finish(std::chrono::hours(1));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return status == 0 ? took.count() : -1.0;
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
    std::printf("%zu MiB disc image, chunks of 1 MiB\n", mebibytes);
    std::printf("%-6s %10s %10s %8s\n", "format", "tool s", "dmg2img s", "speed-up");
    for (const Format format :
         {Format{"UDZO", Coding::Zlib, true}, Format{"UDBZ", Coding::Bzip2, true},
          Format{"ULMO", Coding::Xz, false}}) {
        std::vector<udiffixture::Chunk> chunks(mebibytes, {format.coding, 2048});
        const std::string dmg = scratch.file(std::string(format.name) + ".dmg");
        writeFile(dmg, udiffixture::make({{"disk image", chunks}}, disc).file);
        const double tool = timed(EMBERLIN_DISCTOOL, {"burn", dmg, "-noverifyburn", "-device",
                                                      "stdio:" + scratch.file("tool.img")});
        const double dmg2img =
            !format.dmg2imgReadsIt
                ? -1.0
                : timed("/usr/bin/dmg2img", {"-s", "-i", dmg, "-o", scratch.file("dmg2img.img")});
        if (dmg2img > 0) {
            std::printf("%-6s %10.2f %10.2f %7.2fx\n", format.name, tool, dmg2img, dmg2img / tool);
        } else {
            std::printf("%-6s %10.2f %10s %8s\n", format.name, tool, "(cannot)", "-");
        }
    }

    const auto burn = [&](const std::string& image, const std::string& disc) {
        return timed(EMBERLIN_DISCTOOL,
                     {"burn", image, "-noverifyburn", "-forceclose", "-puppetstrings", "-device",
                      "sim:" + scratch.file(disc) + "?medium=bd-r&rate=16x"});
    };
    const double rawBurn = burn(raw, "raw.bd");
    const double dmgBurn = burn(scratch.file("UDZO.dmg"), "udzo.bd");
    std::printf("BD-R at 16x: raw image %.2f s, UDZO %.2f s (%+.1f %%)\n", rawBurn, dmgBurn,
                100.0 * (dmgBurn - rawBurn) / rawBurn);
    return 0;
}
