// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/disctool/TranscriptChecker.h"

#include "protocol/ToolProtocol.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <openssl/evp.h>
#include <optional>
#include <sstream>
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

namespace tp = toolprotocol;
// Every text of the protocol but the facts' own: a fact line holding one
// would change what the window does.
constexpr std::array<std::string_view, 28> protocolTexts = {
    tp::burnCommand,      tp::listOption,     tp::verifyOption,
    tp::noVerifyOption,   tp::closeOption,    tp::leaveOpenOption,
    tp::speedOption,      tp::eraseOption,    tp::machineReadableOption,
    tp::deviceOption,     tp::maximumSpeed,   tp::burnerTitleEnd,
    tp::noDrivesPresent,  tp::insertDisc,     tp::mediaNotEraseable,
    tp::mediaNotWritable, tp::notEnoughSpace, tp::preparingData,
    tp::writingTrack,     tp::closingSession, tp::finishingBurn,
    tp::verifyingBurn,    tp::burnCompleted,  tp::deviceBusy,
    tp::burnFailed,       tp::failurePrefix,  tp::percentMarker,
    tp::eraseQuestion};

// Each KEY=VALUE pair of the fact lines, in order.
std::vector<std::pair<std::string, std::string>> factsOf(const std::vector<std::string>& lines) {
    std::vector<std::pair<std::string, std::string>> facts;
    for (const std::string& line : lines) {
        std::istringstream pairs(line.starts_with(tp::factMarker) ? line.substr(5) : "");
        for (std::string pair; pairs >> pair;) {
            const std::size_t equals = std::min(pair.find('='), pair.size());
            facts.emplace_back(pair.substr(0, equals),
                               pair.substr(std::min(equals + 1, pair.size())));
        }
    }
    return facts;
}

std::string sha256Of(const std::vector<char>& bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr);
    std::ostringstream hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex << "0123456789abcdef"[digest[i] >> 4] << "0123456789abcdef"[digest[i] & 0x0f];
    }
    return hex.str();
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
        if (line.starts_with(tp::factMarker)) {
            for (const std::string_view text : protocolTexts) {
                if (line.find(text) != std::string::npos) {
                    return at + "a fact line holds \"" + std::string(text) + "\"";
                }
            }
            continue;
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
        if (line == tp::eraseQuestion && where != Where::Start) {
            return at + "a question once the erase or the burn began";
        }
        if (line == tp::eraseQuestion || std::find(mediaComplaints.begin(), mediaComplaints.end(),
                                                   line) != mediaComplaints.end()) {
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
                 [](const std::string& line) {
                     return !line.starts_with("PERCENT:") && !line.starts_with(tp::factMarker);
                 });
    return steps;
}

std::string lastFact(const std::vector<std::string>& lines, const std::string& key) {
    const auto facts = factsOf(lines);
    const auto found = std::find_if(facts.rbegin(), facts.rend(),
                                    [&](const auto& fact) { return fact.first == key; });
    return found == facts.rend() ? "" : found->second;
}

std::string checkFacts(const std::vector<std::string>& lines, const std::vector<char>& image,
                       bool testBurn, const std::vector<char>& file) {
    const std::map<std::string, int> rank = {
        {"disc-holds", 0},     {"medium", 0},       {"capacity", 0},       {"image-bytes", 0},
        {"erase", 1},          {"write-kbps", 2},   {"read-kbps", 2},      {"bytes-written", 3},
        {"file-sha256", 4},    {"image-sha256", 4}, {"bytes-verified", 5}, {"readback-from", 6},
        {"readback-sha256", 6}};
    const auto size = static_cast<long long>(image.size());
    const std::string digest = sha256Of(image);
    const std::string fileDigest = file.empty() ? digest : sha256Of(file);
    int reached = 0;
    std::map<std::string, long long> counted; // each key's last figure
    for (const auto& [key, value] : factsOf(lines)) {
        const std::string at = key + "=" + value + ": ";
        const auto known = rank.find(key);
        if (known == rank.end() || known->second < reached) {
            return at + (known == rank.end() ? "unknown key" : "out of order");
        }
        reached = known->second;
        const long long number = std::atoll(value.c_str());
        // Only a disc refused for lack of room is told to be smaller.
        const bool refusedForRoom = std::count(lines.begin(), lines.end(), tp::notEnoughSpace) > 0;
        if ((key == "image-bytes" && number != size) ||
            (key == "capacity" && number < size && !refusedForRoom)) {
            return at + "does not fit the image's size";
        }
        if (key.ends_with("-sha256") && testBurn) {
            return at + "a digest of a test burn, which wrote nothing";
        }
        if (key == "file-sha256" ? value != fileDigest
                                 : key.ends_with("-sha256") && value != digest) {
            return at + "not the SHA-256 " + (key == "file-sha256" ? fileDigest : digest);
        }
        if (key.starts_with("readback-") && lines.back() != tp::burnCompleted) {
            return at + "read back from a burn that did not succeed";
        }
        if (key == "readback-from" && value != tp::readbackFromDisc &&
            value != tp::readbackFromCacheOrDisc) {
            return at + "neither the disc nor its cache";
        }
        if (key.starts_with("bytes-") && (number < counted[key] || number > size)) {
            return at + "falls back or goes beyond the image";
        }
        counted[key] = number;
    }
    if (std::count(lines.begin(), lines.end(), tp::finishingBurn) > 0 && !testBurn &&
        (!counted.contains("image-sha256") || !counted.contains("file-sha256") ||
         counted["bytes-written"] != size)) {
        return "the write ended without its digest or short of the image";
    }
    if (std::count(lines.begin(), lines.end(), tp::verifyingBurn) > 0 &&
        lines.back() == tp::burnCompleted &&
        (!counted.contains("readback-sha256") || !counted.contains("readback-from") ||
         counted["bytes-verified"] != size)) {
        return "a verified burn without its read-back digest or short of the image";
    }
    return {};
}

std::vector<std::string> puppetBurn(const std::string& image, const std::string& device) {
    return {"burn",           image,     "-verifyburn", "-forceclose", "-speed", "max",
            "-puppetstrings", "-device", device};
}

bool holdsImage(const std::vector<char>& disc, const std::vector<char>& image) {
    for (std::size_t at = 0; at + image.size() <= disc.size(); at += 2048) {
        if (std::equal(image.begin(), image.end(),
                       disc.begin() + static_cast<std::ptrdiff_t>(at))) {
            return true;
        }
    }
    return false;
}
