// SPDX-License-Identifier: GPL-3.0-or-later
// A command block is as long as its operation code's group says: a shorter
// one, or one of a group no drive of ours knows, is refused before any
// handler reads it; the log names each command that came.
#include "emulator/Drive.h"
#include "emulator/DriveConfig.h"
#include "emulator/Opcode.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/SteppedClock.h"
#include "tests/support/TestImage.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using emulator::Opcode;

TEST(CommandBlock, OnlyABlockAsLongAsItsGroupSaysIsCarriedOut) {
    struct Case {
        std::uint8_t opcode;
        std::size_t length;
        std::optional<std::uint8_t> asc; // of the refusal
    };
    constexpr auto inquiry = static_cast<std::uint8_t>(Opcode::Inquiry);
    constexpr auto performance = static_cast<std::uint8_t>(Opcode::GetPerformance);
    const std::vector<Case> cases = {
        {inquiry, 6, std::nullopt}, {inquiry, 12, std::nullopt}, // ATAPI pads to 12
        {inquiry, 5, 0x24},         {performance, 6, 0x24},
        {performance, 11, 0x24},    {0x60, 16, 0x20}, // reserved group
        {0xC0, 16, 0x20},                             // vendor group
    };
    const ScratchDirectory scratch;
    const std::string log = scratch.file("log");
    std::string problem;
    const auto config =
        emulator::DriveConfig::parse("sim:" + scratch.file("disc") + "?log=" + log, problem);
    ASSERT_TRUE(config) << problem;
    SteppedClock clock;
    emulator::Drive drive(*config, clock);
    for (const Case& row : cases) {
        SCOPED_TRACE(std::to_string(row.opcode) + " in " + std::to_string(row.length) + " bytes");
        std::vector<std::uint8_t> cdb(row.length, 0);
        cdb[0] = row.opcode;
        std::vector<std::uint8_t> data(256);
        const emulator::Reply reply = drive.execute(cdb, data, {});
        EXPECT_EQ(reply.sense ? std::optional(reply.sense->asc) : std::nullopt, row.asc);
        EXPECT_EQ(reply.transferred == 0, row.asc.has_value());
    }
    const std::vector<char> bytes = readWholeFile(log);
    const std::string logged(bytes.begin(), bytes.end());
    EXPECT_TRUE(logged.starts_with("Inquiry 00 00 00 00 00\n")) << logged;
    EXPECT_NE(logged.find("\nC0 00 00 "), std::string::npos) << "an unknown one in hex";
}

} // namespace
