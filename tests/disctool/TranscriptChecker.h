// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// Checks a burn's output against what Emberlin understands: every line is one
// of its texts, a "burn failed - " line or a "PERCENT:" line; the prompt comes
// once at most; the phases come in order, each once; progress lines appear
// only while erasing (after the two "PERCENT:-1" that start it), writing or
// verifying; media complaints only before the burn is prepared, the question
// before erasing only before anything is erased; and exactly
// one closing line (success, busy, no drive, failure) ends the output.
// "FACT:" lines may come anywhere before it, holding none of Emberlin's texts.
// Returns what is wrong, or an empty text.
std::string checkTranscript(const std::vector<std::string>& lines);

// The lines without the "PERCENT:" and "FACT:" ones: the burn's steps.
std::vector<std::string> stepsOf(const std::vector<std::string>& lines);

// Checks the facts against the image burned: they come in the burn's order
// (the disc's before an erase or the write, speeds, bytes written, the
// image's digest, bytes verified, where the read-back came from and its
// digest); the byte counts never fall and end at the image's size; both
// digests are the image's SHA-256, the read-back one only in a burn that
// succeeded, and never missing after a verified burn; a test burn, which
// writes nothing, names no digest at all. Returns what is wrong, or nothing.
// Where the image file wraps the image (`file` given), the file's SHA-256 is
// that file's.
std::string checkFacts(const std::vector<std::string>& lines, const std::vector<char>& image,
                       bool testBurn = false, const std::vector<char>& file = {});
// The value of a fact's last mention, or "" when none.
std::string lastFact(const std::vector<std::string>& lines, const std::string& key);

// The command line Emberlin builds to burn `image` on `device`, verified.
std::vector<std::string> puppetBurn(const std::string& image, const std::string& device);
// Whether the image starts at some sector of the disc's bytes.
bool holdsImage(const std::vector<char>& disc, const std::vector<char>& image);
