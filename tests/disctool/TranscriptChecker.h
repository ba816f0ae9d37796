// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// Checks a burn's output against what Emberlin understands: every line is one
// of its texts, a "burn failed - " line or a "PERCENT:" line; the prompt comes
// once at most; the phases come in order, each once; progress lines appear
// only while erasing (after the two "PERCENT:-1" that start it), writing or
// verifying; media complaints only before the burn is prepared; and exactly
// one closing line (success, busy, no drive, failure) ends the output.
// Returns what is wrong, or an empty text.
std::string checkTranscript(const std::vector<std::string>& lines);

// The lines without the "PERCENT:" ones: the burn's steps.
std::vector<std::string> stepsOf(const std::vector<std::string>& lines);
