// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/DiscStateFile.h"

#include "emulator/Bytes.h"
#include "emulator/OwnFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace emulator {

namespace {

constexpr std::string_view header = "emberlin-emulated-discs 3";
// Far beyond any disc (1 TiB of sectors), far from overflowing the sums of a
// few addresses.
constexpr std::int64_t largestAddress = std::int64_t{1} << 29;
constexpr int mostSessions = 99;
constexpr std::size_t mostTracks = 9999;
constexpr std::size_t longestFile = 1024 * 1024;

// A file name as one word: blanks, line ends and % written as %XX.
std::string escaped(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c == '%' || static_cast<unsigned char>(c) <= ' ') {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view word) {
    std::string out;
    for (std::size_t at = 0; at < word.size(); ++at) {
        if (word[at] != '%') {
            out += word[at];
            continue;
        }
        unsigned code = 0;
        if (at + 2 >= word.size() ||
            std::from_chars(word.data() + at + 1, word.data() + at + 3, code, 16).ptr !=
                word.data() + at + 3) {
            return std::nullopt;
        }
        out += static_cast<char>(code);
        at += 2;
    }
    return out;
}

// The next word of a line, as a whole number from `least` to `most`.
class Fields {
public:
    explicit Fields(std::string_view line)
        : rest_(line) {}

    std::string_view word() {
        const std::size_t start = rest_.find_first_not_of(' ');
        rest_.remove_prefix(start == std::string_view::npos ? rest_.size() : start);
        const std::size_t end = std::min(rest_.find(' '), rest_.size());
        const std::string_view taken = rest_.substr(0, end);
        rest_.remove_prefix(end);
        return taken;
    }
    bool number(std::int64_t& value, std::int64_t least, std::int64_t most) {
        const std::string_view text = word();
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        ok_ = ok_ && !text.empty() && error == std::errc() && end == text.data() + text.size() &&
              value >= least && value <= most;
        return ok_;
    }
    template <typename Small> bool number(Small& value, std::int64_t least, std::int64_t most) {
        std::int64_t wide = 0;
        const bool taken = number(wide, least, most);
        value = static_cast<Small>(wide);
        return taken;
    }
    // The rest of the line after one blank.
    std::string_view rest() {
        ok_ = ok_ && rest_.starts_with(' ');
        return rest_.empty() ? rest_ : rest_.substr(1);
    }
    bool ok() const { return ok_; }
    bool atEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
    bool ok_ = true;
};

std::optional<RememberedDisc> parseDisc(std::string_view line) {
    Fields fields(line);
    RememberedDisc remembered;
    Disc& disc = remembered.disc;
    const std::optional<std::string> file = unescaped(fields.word());
    const std::optional<Medium> medium = mediumWithId(fields.word());
    int formatState = 0;
    fields.number(remembered.bytes, 0, largestAddress * sectorBytes);
    fields.number(disc.capacity, 1, largestAddress);
    fields.number(disc.formatted, 0, disc.capacity);
    fields.number(formatState, 0, 2);
    fields.number(disc.closedSessions, 0, mostSessions);
    fields.number(disc.finalized, 0, 1);
    fields.number(disc.incrementalAllowed, 0, 1);
    fields.number(disc.pseudoOverwrite, 0, 1);
    fields.number(disc.nextStart, 0, largestAddress);
    remembered.origin = std::string(fields.rest());
    if (!fields.ok() || !file || file->empty() || !medium || remembered.origin.empty()) {
        return std::nullopt;
    }
    remembered.file = *file;
    disc.medium = *medium;
    disc.formatState = static_cast<FormatState>(formatState);
    return remembered;
}

// A track that follows the disc's earlier ones, in a session of its own or
// the one before, within the disc's addresses.
bool parseTrack(std::string_view line, Disc& disc) {
    Fields fields(line);
    Track track;
    const Track* previous = disc.tracks.empty() ? nullptr : &disc.tracks.back();
    const int firstSession = previous != nullptr ? previous->session : 1;
    const std::int64_t earliest = previous != nullptr ? previous->start + previous->written : 0;
    fields.number(track.session, firstSession, std::min(firstSession + 1, disc.closedSessions + 1));
    fields.number(track.start, earliest, largestAddress);
    fields.number(track.written, 0, largestAddress);
    fields.number(track.reserved, 0, largestAddress);
    fields.number(track.closed, 0, 1);
    fields.number(track.damaged, 0, 1);
    if (!fields.ok() || !fields.atEnd() || disc.tracks.size() >= mostTracks ||
        (track.reserved > 0 && track.written > track.reserved) ||
        (previous != nullptr && !previous->closed)) {
        return false;
    }
    disc.tracks.push_back(track);
    return true;
}

} // namespace

DiscStateFile::DiscStateFile(std::string path)
    : path_(std::move(path)) {}

std::string DiscStateFile::format(const RememberedDiscs& discs) {
    std::ostringstream out;
    out << header << '\n';
    for (const std::optional<RememberedDisc>& remembered : discs) {
        if (!remembered) {
            out << "none\n";
            continue;
        }
        const Disc& disc = remembered->disc;
        out << "disc " << escaped(remembered->file) << ' ' << disc.traits().id << ' '
            << remembered->bytes << ' ' << disc.capacity << ' ' << disc.formatted << ' '
            << static_cast<int>(disc.formatState) << ' ' << disc.closedSessions << ' '
            << disc.finalized << ' ' << disc.incrementalAllowed << ' ' << disc.pseudoOverwrite
            << ' ' << disc.nextStart << ' ' << remembered->origin << '\n';
        for (const Track& track : disc.tracks) {
            out << "track " << track.session << ' ' << track.start << ' ' << track.written << ' '
                << track.reserved << ' ' << track.closed << ' ' << track.damaged << '\n';
        }
    }
    return out.str();
}

std::optional<RememberedDiscs> DiscStateFile::parse(std::string_view text, std::string& problem) {
    RememberedDiscs discs;
    const auto line = [&text]() {
        const std::size_t end = text.find('\n');
        const std::string_view taken = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        return taken;
    };
    if (line() != header) {
        problem = "it does not begin with \"" + std::string(header) + "\"";
        return std::nullopt;
    }
    for (int number = 2; !text.empty(); ++number) {
        const std::string_view entry = line();
        bool valid = true;
        if (entry == "none") {
            discs.emplace_back();
        } else if (entry.starts_with("disc ")) {
            discs.push_back(parseDisc(entry.substr(5)));
            valid = discs.back().has_value();
        } else {
            valid = entry.starts_with("track ") && !discs.empty() && discs.back() &&
                    parseTrack(entry.substr(6), discs.back()->disc);
        }
        if (!valid) {
            problem = "line " + std::to_string(number) +
                      " is not a disc or a track an emulated drive wrote";
            return std::nullopt;
        }
    }
    return discs;
}

std::optional<RememberedDiscs> DiscStateFile::load(std::string& problem) const {
    const OwnFile file = OwnFile::open(path_, O_RDONLY);
    if (file.error() == ENOENT) {
        return RememberedDiscs{};
    }
    if (!file.isValid()) {
        problem = file.error() == EPERM   ? "it is not a file of this user's own"
                  : file.error() == ELOOP ? "it is a symbolic link"
                                          : std::strerror(file.error());
        return std::nullopt;
    }
    std::string text;
    char chunk[4096];
    for (ssize_t got = 0; (got = ::read(file.fd(), chunk, sizeof chunk)) > 0;) {
        text.append(chunk, static_cast<std::size_t>(got));
        if (text.size() > longestFile) {
            problem = "it is far longer than any state an emulated drive writes";
            return std::nullopt;
        }
    }
    return parse(text, problem);
}

bool DiscStateFile::save(const RememberedDiscs& discs) const {
    std::string temporary = path_ + ".XXXXXX";
    const OwnFile file = OwnFile::createUnique(temporary);
    const std::string text = format(discs);
    const bool written = file.isValid() && ::write(file.fd(), text.data(), text.size()) ==
                                               static_cast<ssize_t>(text.size());
    if (!written || std::rename(temporary.c_str(), path_.c_str()) != 0) {
        if (file.isValid()) {
            ::unlink(temporary.c_str());
        }
        return false;
    }
    return true;
}

} // namespace emulator
