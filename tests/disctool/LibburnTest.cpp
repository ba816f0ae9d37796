// SPDX-License-Identifier: GPL-3.0-or-later
// What the tool reads out of libburn: failure texts and file systems on discs.
#include "LibburnSession.h"
#include "MediumProbe.h"

#include <array>
#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace disctool;

TEST(LibburnSession, AFailureIsExplainedByTheMostSevereMessageTheEarliestAmongEquals) {
    const auto message = [](const char* severity, const char* text, int osErrno = 0) {
        return LibburnMessage{0, LibburnSession::severityRank(severity), text, osErrno};
    };
    const std::vector<std::pair<std::vector<LibburnMessage>, std::string>> cases = {
        {{message("NOTE", "drive loaded"), message("SORRY", "Drive does not support speed"),
          message("FATAL", "Write error", EIO), message("FATAL", "Burn aborted"),
          message("SORRY", "Track not closed")},
         "Write error (Input/output error)"},
        {{message("DEBUG", "chatter"), message("NOTE", "first note\n"),
          message("NOTE", "second note")},
         "first note"},
        {{message("DEBUG", "chatter")}, ""},
    };
    for (const auto& [messages, explained] : cases) {
        EXPECT_EQ(LibburnSession::explain(messages), explained);
    }
}

TEST(MediumProbe, SectorSixteenOfADiscWithAFileSystemIsAVolumeDescriptor) {
    const auto sector = [](char type, const char* identifier, char version) {
        std::array<char, 2048> bytes{};
        bytes[0] = type;
        std::copy(identifier, identifier + 5, bytes.begin() + 1);
        bytes[6] = version;
        return bytes;
    };
    EXPECT_TRUE(isVolumeDescriptor(sector(1, "CD001", 1)));  // ISO 9660 primary
    EXPECT_TRUE(isVolumeDescriptor(sector(0, "BEA01", 1)));  // UDF recognition sequence
    EXPECT_TRUE(isVolumeDescriptor(sector(0, "NSR03", 1)));  // UDF 2.0 and later
    EXPECT_FALSE(isVolumeDescriptor(sector(1, "CD001", 0))); // no version
    EXPECT_FALSE(isVolumeDescriptor(sector(1, "CD002", 1)));
    EXPECT_FALSE(isVolumeDescriptor(std::array<char, 2048>{})); // fresh disc
}

} // namespace
