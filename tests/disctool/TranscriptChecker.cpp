// SPDX-License-Identifier: GPL-3.0-or-later
#include "TranscriptChecker.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>

namespace {

constexpr std::string_view prompt = "Please insert a disc:";
constexpr std::array<std::string_view, 3> mediaComplaints = {
    "Media is not eraseable", "Media is not writable", "Media does not have enough free space"};
constexpr std::array<std::string_view, 5> phases = {"Preparing data for burn", "Writing track",
                                                    "Closing session", "Finishing burn",
                                                    "Verifying burn"};
constexpr std::array<std::string_view, 3> closingTexts = {
    "Burn completed successfully", "The device is being used by another application",
    "no CD/DVD drives present"};
constexpr std::string_view failure = "burn failed - ";

std::optional<int> percentOf(std::string_view line) {
    if (!line.starts_with("PERCENT:")) {
        return std::nullopt;
    }
    line.remove_prefix(8);
    int value = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc() || end != line.data() + line.size()) {
        return std::nullopt;
    }
    return value;
}

bool isClosing(std::string_view line) {
    return std::find(closingTexts.begin(), closingTexts.end(), line) != closingTexts.end() ||
           (line.starts_with(failure) && line.size() > failure.size());
}

} // namespace

std::string checkTranscript(const std::vector<std::string>& lines) {
    enum class Where { Start, Erasing, Phase };
    Where where = Where::Start;
    int phase = -1; // index into phases
    bool prompted = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::string at = "line " + std::to_string(i + 1) + " \"" + line + "\": ";
        if (isClosing(line)) {
            if (i + 1 != lines.size()) {
                return at + "output goes on after the closing line";
            }
            if (line == "Burn completed successfully" && phase < 3) {
                return at + "success before the burn was finished";
            }
            return {};
        }
        if (const std::optional<int> percent = percentOf(line)) {
            if (*percent < -1 || *percent > 100) {
                return at + "percent out of range";
            }
            const bool startsErase = where == Where::Start && phase < 0 && *percent == -1 &&
                                     i + 1 < lines.size() && lines[i + 1] == "PERCENT:-1";
            if (startsErase) {
                where = Where::Erasing;
                ++i;
                continue;
            }
            const bool inProgressPhase =
                where == Where::Erasing || (where == Where::Phase && (phase == 1 || phase == 4));
            if (!inProgressPhase) {
                return at + "progress outside erasing, writing and verifying";
            }
            continue;
        }
        if (line == prompt) {
            if (prompted) {
                return at + "second prompt";
            }
            if (phase >= 0) {
                return at + "prompt after the burn began";
            }
            prompted = true;
            where = Where::Start;
            continue;
        }
        if (std::find(mediaComplaints.begin(), mediaComplaints.end(), line) !=
            mediaComplaints.end()) {
            if (phase >= 0) {
                return at + "media complaint after the burn began";
            }
            where = Where::Start;
            continue;
        }
        const auto found = std::find(phases.begin(), phases.end(), line);
        if (found == phases.end()) {
            return at + "not a text Emberlin recognises";
        }
        const int index = static_cast<int>(found - phases.begin());
        if (index != phase + 1) {
            return at + "phase out of order";
        }
        phase = index;
        where = Where::Phase;
    }
    return "the output ends without a closing line";
}

std::vector<std::string> stepsOf(const std::vector<std::string>& lines) {
    std::vector<std::string> steps;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(steps),
                 [](const std::string& line) { return !line.starts_with("PERCENT:"); });
    return steps;
}
