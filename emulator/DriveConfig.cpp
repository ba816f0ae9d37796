// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/DriveConfig.h"

#include "emulator/Bytes.h"
#include "emulator/IdParameter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace emulator {

namespace {

// What earlier sessions of an appendable disc take by default.
constexpr std::int64_t defaultUsedSectors = 16 * 1024 * 1024 / sectorBytes;

template <typename T> const T& nth(const std::vector<T>& list, std::size_t index) {
    return list[std::min(index, list.size() - 1)];
}

std::optional<std::string> readContents(std::string_view path, DiscContents& contents) {
    contents.path = std::string(path);
    struct stat status {};
    // It may lie in a folder others write to: only the user's own link leads on.
    if (::lstat(contents.path.c_str(), &status) == 0 && S_ISLNK(status.st_mode) &&
        status.st_uid != ::geteuid()) {
        return "contents " + contents.path + " is another user's symbolic link";
    }
    if (::stat(contents.path.c_str(), &status) != 0) {
        return "cannot read contents " + contents.path + ": " + std::strerror(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return "contents " + contents.path + " is not a regular file";
    }
    contents.bytes = status.st_size;
    contents.modified = status.st_mtim.tv_sec * 1000000000 + status.st_mtim.tv_nsec;
    return std::nullopt;
}

// A disc with contents holds the file in its first session's track; the
// further sessions of `sessions=` share what `used` gives beyond it. An
// overwritable disc holds the file from LBA 0.
std::optional<std::string> describeContents(const DiscLists& lists, std::size_t index,
                                            DiscDescription& disc) {
    DiscContents contents;
    if (std::optional<std::string> unreadable =
            readContents(nth(lists.contents, index), contents)) {
        return unreadable;
    }
    const bool overwritable = factsOf(disc.medium).overwritable;
    const bool holdsData = disc.state == DiscState::Appendable || disc.state == DiscState::Full ||
                           (overwritable && disc.state == DiscState::Blank);
    if (!holdsData) {
        return "contents needs a disc that holds data: appendable or full (or a formatted "
               "overwritable one)";
    }
    if (contents.sectors() > disc.capacity) {
        return "contents " + contents.path + " does not fit on the disc";
    }
    if (!overwritable) {
        if (contents.bytes == 0) {
            return "contents " + contents.path + " is empty: a track holds at least a sector";
        }
        disc.used = lists.used.empty() ? contents.sectors() : nth(lists.used, index);
        if (disc.used < contents.sectors() + disc.sessions - 1) {
            return "used must hold contents " + contents.path +
                   " and a sector for each further "
                   "session";
        }
    }
    disc.contents = std::move(contents);
    return std::nullopt;
}

std::optional<std::string> describeDiscs(const DiscLists& lists,
                                         std::vector<DiscDescription>& discs) {
    const std::size_t count =
        std::max({lists.media.size(), lists.states.size(), lists.capacities.size(),
                  lists.used.size(), lists.sessions.size(), lists.contents.size()});
    for (std::size_t i = 0; i < count; ++i) {
        DiscDescription disc;
        disc.medium = nth(lists.media, i);
        disc.state = nth(lists.states, i);
        const MediumFacts& traits = factsOf(disc.medium);
        disc.capacity = lists.capacities.empty() ? traits.capacity : nth(lists.capacities, i);
        disc.sessions = lists.sessions.empty() ? 1 : static_cast<int>(nth(lists.sessions, i));
        if (disc.state == DiscState::Unformatted && disc.medium != Medium::DVDPlusRW &&
            disc.medium != Medium::DVDRAM && disc.medium != Medium::BDRE) {
            return "only dvd+rw, dvd-ram and bd-re arrive unformatted";
        }
        if (disc.state == DiscState::Appendable) {
            disc.used = lists.used.empty() ? std::min(defaultUsedSectors, disc.capacity / 2)
                                           : nth(lists.used, i);
        } else if (disc.state == DiscState::Full) {
            disc.used = lists.used.empty() ? disc.capacity : nth(lists.used, i);
        }
        if (!lists.contents.empty() && !nth(lists.contents, i).empty()) {
            if (std::optional<std::string> wrong = describeContents(lists, i, disc)) {
                return wrong;
            }
        }
        if (disc.used > disc.capacity) {
            return "a disc cannot use more than its capacity";
        }
        const bool holdsSessions =
            disc.state == DiscState::Appendable || disc.state == DiscState::Full;
        if (disc.sessions < 1 ||
            (holdsSessions && disc.sessions > std::max<std::int64_t>(1, disc.used))) {
            return "sessions must be at least 1 and fit in what the disc uses";
        }
        disc.pseudoOverwrite = lists.pseudoOverwrite && disc.medium == Medium::BDR;
        discs.push_back(disc);
    }
    if (lists.pseudoOverwrite &&
        std::none_of(discs.begin(), discs.end(),
                     [](const DiscDescription& disc) { return disc.pseudoOverwrite; })) {
        return "pow formats a bd-r, and no disc is one";
    }
    return std::nullopt;
}

} // namespace

std::int64_t DiscContents::sectors() const {
    return (bytes + sectorBytes - 1) / sectorBytes;
}

std::string DiscDescription::origin() const {
    std::string text = std::string(factsOf(medium).id) + " state " +
                       std::to_string(static_cast<int>(state)) + " capacity " +
                       std::to_string(capacity) + " used " + std::to_string(used) + " sessions " +
                       std::to_string(sessions);
    if (pseudoOverwrite) {
        text += " pow";
    }
    if (contents) {
        text += " contents " + std::to_string(contents->bytes) + " " +
                std::to_string(contents->modified) + " " + contents->path;
    }
    return text;
}

std::optional<DriveConfig> DriveConfig::parse(std::string_view id, std::string& problem) {
    if (!id.starts_with(prefix)) {
        problem = "an emulated drive's id begins with \"sim:\"";
        return std::nullopt;
    }
    id.remove_prefix(prefix.size());
    const std::size_t query = id.find('?');
    DriveConfig config;
    config.path = std::string(id.substr(0, query));
    if (config.path.empty()) {
        problem = "an emulated drive needs a file: sim:PATH";
        return std::nullopt;
    }
    const std::string_view parameters =
        query == std::string_view::npos ? std::string_view() : id.substr(query + 1);
    DiscLists lists;
    for (const std::string_view parameter : split(parameters, '&')) {
        if (parameter.empty()) {
            continue;
        }
        if (!readParameter(parameter, config, lists, problem)) {
            return std::nullopt;
        }
    }
    if ((config.stallAt || config.stallReadAt || config.stallOn) &&
        (!config.resume || config.resume->countsPolls())) {
        problem = "a stall needs resume=TIME or resume=@FILE: a stalled drive is not polled";
        return std::nullopt;
    }
    if (const std::optional<std::string> wrong = describeDiscs(lists, config.discs)) {
        problem = *wrong;
        return std::nullopt;
    }
    return config;
}

} // namespace emulator
