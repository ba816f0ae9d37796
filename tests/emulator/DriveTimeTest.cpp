// SPDX-License-Identifier: GPL-3.0-or-later
// How long an emulated drive's commands take, and when its faults strike,
// on a clock the test steps itself: the host waits as it would on a drive of
// that speed, while nothing here waits for real.
#include "emulator/Drive.h"
#include "emulator/DriveConfig.h"
#include "emulator/Opcode.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/SteppedClock.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using emulator::Clock;
using emulator::Opcode;
using namespace std::chrono_literals;

using Cdb = std::vector<std::uint8_t>;

// As long as an ATAPI drive takes every command.
Cdb command(Opcode opcode, std::uint8_t second = 0, std::uint32_t lba = 0,
            std::uint16_t count = 0) {
    Cdb cdb = {static_cast<std::uint8_t>(opcode), second, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int byte = 0; byte < 4; ++byte) {
        cdb[2 + byte] = static_cast<std::uint8_t>(lba >> (24 - 8 * byte));
    }
    cdb[7] = static_cast<std::uint8_t>(count >> 8);
    cdb[8] = static_cast<std::uint8_t>(count);
    return cdb;
}

struct Step {
    Cdb cdb;
    Clock::duration after = {}; // the host's own time before it sends the command
};

using Steps = std::vector<Step>;

struct Case {
    std::string what;
    std::string parameters;
    Steps steps;
    double seconds; // the drive's time the host waited, its own time included
    std::optional<std::uint8_t> lastAsc = {}; // of the last command's sense
};

TEST(DriveTime, CommandsTakeTheDrivesTimeAndFaultsStrikeWhereAsked) {
    const Cdb write1000 = command(Opcode::Write10, 0, 0, 1000);
    const Cdb flush = command(Opcode::SynchronizeCache);
    const Cdb ready = {static_cast<std::uint8_t>(Opcode::TestUnitReady), 0, 0, 0, 0, 0};
    const Cdb minimalBlankAtOnce = command(Opcode::Blank, 0x11); // Immed, minimal
    const Cdb minimalBlank = command(Opcode::Blank, 0x01);
    // 1000 sectors at 4x, which drives offer as 706 kB/s of raw CD sectors
    // of 2352 bytes, less the tenth of a second a drive's schedule allows a
    // host to be late by.
    const double fourX = 1000 * 2352 / 706000.0 - 0.1;
    const std::string at4x = "medium=cd-r&rate=4x";
    const std::string erasing = "medium=cd-rw&state=full&erase-time=10s";
    const std::vector<Case> cases = {
        // The sectors go to the 2 MiB buffer at once, and are on the disc when
        // the cache flush returns.
        {"a write goes into the buffer", at4x, {{write1000}}, 0},
        {"the cache flush waits for the disc", at4x, {{write1000}, {flush}}, fourX},
        {"a host that took its time waits less", at4x, {{write1000}, {flush, 2s}}, fourX},
        {"without a rate nothing takes time", "medium=cd-r", {{write1000}, {flush}}, 0},
        // Blanking takes erase-time: at once, or after answering when the host
        // asks for that (Immed), the drive meanwhile "in progress".
        {"a blank the host waits for", erasing, {{minimalBlank}, {ready}}, 10},
        {"a blank that goes on after answering", erasing, Steps{{minimalBlankAtOnce}, {ready, 9s}},
         9, 0x04},
        {"until it ends", erasing, {{minimalBlankAtOnce}, {ready, 10s}}, 10},
        // Faults, counted from the start of the track written.
        {"a stall holds the write until resume", "medium=cd-r&stall-at=500&resume=2s",
         Steps{{write1000}}, 2},
        {"a write fails at its sector", "medium=cd-r&fail-at-sector=500", {{write1000}}, 0, 0x0C},
        {"a stall on an operation code", "medium=cd-r&stall-on=35&resume=3s",
         Steps{{write1000}, {flush}}, 3},
    };
    const ScratchDirectory scratch;
    int number = 0;
    for (const Case& row : cases) {
        SCOPED_TRACE(row.what);
        std::string problem;
        const std::optional<emulator::DriveConfig> config = emulator::DriveConfig::parse(
            "sim:" + scratch.file("disc" + std::to_string(++number)) + "?" + row.parameters,
            problem);
        ASSERT_TRUE(config) << problem;
        SteppedClock clock;
        const Clock::time_point start = clock.now();
        emulator::Drive drive(*config, clock);
        emulator::Reply reply;
        for (const Step& step : row.steps) {
            clock.advance(step.after);
            const std::vector<std::uint8_t> data(step.cdb == write1000 ? 1000 * 2048 : 0);
            reply = drive.execute(step.cdb, {}, data);
        }
        const std::chrono::duration<double> waited = clock.now() - start;
        EXPECT_NEAR(waited.count(), row.seconds, 0.02);
        EXPECT_EQ(reply.sense ? std::optional(reply.sense->asc) : std::nullopt, row.lastAsc);
    }
}

} // namespace
