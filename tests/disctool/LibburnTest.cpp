// SPDX-License-Identifier: GPL-3.0-or-later
// What the tool reads out of libburn: failure texts.
#include "disctool/LibburnSession.h"

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

} // namespace
