// SPDX-License-Identifier: GPL-3.0-or-later
#include "DiscStateFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace emulator {

namespace {

constexpr const char* header = "emberlin-emulated-discs 2";

} // namespace

DiscStateFile::DiscStateFile(std::string path)
    : path_(std::move(path)) {}

std::vector<std::optional<RememberedDisc>> DiscStateFile::load() const {
    std::vector<std::optional<RememberedDisc>> discs;
    std::ifstream in(path_);
    std::string line;
    if (!std::getline(in, line) || line != header) {
        return discs;
    }
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind == "none") {
            discs.emplace_back();
        } else if (kind == "disc") {
            RememberedDisc remembered;
            Disc& disc = remembered.disc;
            std::string medium;
            int formatState = 0;
            fields >> medium >> disc.capacity >> disc.formatted >> formatState >>
                disc.closedSessions >> disc.finalized >> disc.incrementalAllowed >>
                disc.pseudoOverwrite >> disc.nextStart;
            std::getline(fields >> std::ws, remembered.origin);
            const std::optional<Medium> known = mediumWithId(medium);
            if (!fields.eof() || !known) {
                return {};
            }
            disc.medium = *known;
            disc.formatState = static_cast<FormatState>(formatState);
            discs.emplace_back(std::move(remembered));
        } else if (kind == "track" && !discs.empty() && discs.back()) {
            Track track;
            fields >> track.session >> track.start >> track.written >> track.reserved >>
                track.closed >> track.damaged;
            if (!fields) {
                return {};
            }
            discs.back()->disc.tracks.push_back(track);
        } else {
            return {};
        }
    }
    return discs;
}

bool DiscStateFile::save(const std::vector<std::optional<RememberedDisc>>& discs) const {
    const std::string temporary = path_ + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << header << '\n';
        for (const std::optional<RememberedDisc>& remembered : discs) {
            if (!remembered) {
                out << "none\n";
                continue;
            }
            const Disc& disc = remembered->disc;
            out << "disc " << disc.traits().id << ' ' << disc.capacity << ' ' << disc.formatted
                << ' ' << static_cast<int>(disc.formatState) << ' ' << disc.closedSessions << ' '
                << disc.finalized << ' ' << disc.incrementalAllowed << ' ' << disc.pseudoOverwrite
                << ' ' << disc.nextStart << ' ' << remembered->origin << '\n';
            for (const Track& track : disc.tracks) {
                out << "track " << track.session << ' ' << track.start << ' ' << track.written
                    << ' ' << track.reserved << ' ' << track.closed << ' ' << track.damaged << '\n';
            }
        }
        if (!out.flush()) {
            return false;
        }
    }
    return std::rename(temporary.c_str(), path_.c_str()) == 0;
}

} // namespace emulator
