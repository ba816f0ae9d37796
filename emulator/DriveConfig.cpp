// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/DriveConfig.h"

#include "emulator/Bytes.h"
#include "emulator/Quantity.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace emulator {

namespace {

// What earlier sessions of an appendable disc take by default.
constexpr std::int64_t defaultUsedSectors = 16 * 1024 * 1024 / sectorBytes;

struct Lists {
    std::vector<Medium> media{Medium::CDR};
    std::vector<DiscState> states{DiscState::Blank};
    std::vector<std::int64_t> capacities;
    std::vector<std::int64_t> used;
    std::vector<std::int64_t> sessions;
    std::vector<std::string_view> contents; // an empty item: no contents
    bool pseudoOverwrite = false;
};

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(at + 1);
    }
}

constexpr std::array<Unit, 1> countUnits{{{"", 1}}};
constexpr std::array<Unit, 8> sizeUnits{{
    {"", 1},
    {"k", 1024},
    {"K", 1024},
    {"M", 1024 * 1024},
    {"G", 1024 * 1024 * 1024},
    {"KiB", 1024},
    {"MiB", 1024 * 1024},
    {"GiB", 1024 * 1024 * 1024},
}};
constexpr std::array<Unit, 3> durationUnits{{{"", 1}, {"ms", 1}, {"s", 1000}}};
constexpr std::array<Unit, 2> pollUnits{{{"polls", 1}, {"poll", 1}}};
constexpr std::array<Unit, 1> multipleUnits{{{"x", 1}}};

constexpr Range sizeRange{std::int64_t{1} << 40, "1024G"};
constexpr Range sectorRange{sizeRange.maximum / sectorBytes, "536870912"};
constexpr Range sessionRange{99, "99"};
constexpr Range durationRange{24 * 3600 * 1000, "86400s"};
constexpr Range pollRange{1000000000, "1000000000polls"};
constexpr Range multipleRange{1000, "1000x"};
constexpr Range kilobytesPerSecondRange{10000000, "10000000"};

// A trigger as written: "@FILE", "3polls", "500ms", "2s" or milliseconds.
Parsed parseTrigger(std::string_view text, std::optional<Trigger>& trigger, Range& range) {
    if (text.starts_with('@') && text.size() > 1) {
        trigger = Trigger::onceExists(std::string(text.substr(1)));
        return Parsed::Ok;
    }
    std::int64_t value = 0;
    if (text.ends_with("poll") || text.ends_with("polls")) {
        range = pollRange;
        const Parsed parsed = parseQuantity(text, pollUnits, range, value);
        trigger = Trigger::afterPolls(static_cast<std::uint64_t>(value));
        return parsed;
    }
    range = durationRange;
    const Parsed parsed = parseQuantity(text, durationUnits, range, value);
    trigger = Trigger::after(std::chrono::milliseconds(value));
    return parsed;
}

// A multiple of the medium's 1x ("8x") or kB/s; zero is no rate.
Parsed parseRate(std::string_view text, std::optional<Rate>& rate, Range& range) {
    const bool multiple = text.ends_with('x');
    range = multiple ? multipleRange : kilobytesPerSecondRange;
    std::int64_t value = 0;
    const Parsed parsed = multiple ? parseQuantity(text, multipleUnits, range, value)
                                   : parseQuantity(text, countUnits, range, value);
    if (parsed == Parsed::Ok && value == 0) {
        return Parsed::Invalid;
    }
    const auto figure = static_cast<double>(value);
    rate = multiple ? Rate{figure, 0} : Rate{0, figure};
    return parsed;
}

// An MMC operation code in hex: "5B".
std::optional<std::uint8_t> parseOpcode(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.size() != 2 || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

std::optional<DiscState> parseState(std::string_view text) {
    constexpr std::array<std::pair<std::string_view, DiscState>, 5> states{{
        {"empty", DiscState::Empty},
        {"blank", DiscState::Blank},
        {"appendable", DiscState::Appendable},
        {"full", DiscState::Full},
        {"unformatted", DiscState::Unformatted},
    }};
    for (const auto& [name, state] : states) {
        if (name == text) {
            return state;
        }
    }
    return std::nullopt;
}

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
std::optional<std::string> describeContents(const Lists& lists, std::size_t index,
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

std::optional<std::string> describeDiscs(const Lists& lists, std::vector<DiscDescription>& discs) {
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
    const auto bad = [&problem](std::string_view key, std::string_view value) {
        problem = "invalid value \"" + std::string(value) + "\" for " + std::string(key);
        return std::nullopt;
    };
    // False with `problem` set when `text` was not a value of `key` in `range`.
    const auto took = [&problem](Parsed parsed, std::string_view key, std::string_view text,
                                 const Range& range) {
        if (parsed == Parsed::Invalid) {
            problem = "invalid value \"" + std::string(text) + "\" for " + std::string(key);
        } else if (parsed == Parsed::OutOfRange) {
            problem = "value \"" + std::string(text) + "\" for " + std::string(key) +
                      " is out of range (at most " + std::string(range.written) + ")";
        }
        return parsed == Parsed::Ok;
    };
    const std::string_view parameters =
        query == std::string_view::npos ? std::string_view() : id.substr(query + 1);
    Lists lists;
    for (const std::string_view parameter : split(parameters, '&')) {
        if (parameter.empty()) {
            continue;
        }
        const std::size_t equals = parameter.find('=');
        const std::string_view key = parameter.substr(0, equals);
        const bool hasValue = equals != std::string_view::npos;
        const std::string_view value = hasValue ? parameter.substr(equals + 1) : std::string_view();
        if (key == "medium") {
            lists.media.clear();
            for (const std::string_view item : split(value, ',')) {
                const std::optional<Medium> medium = mediumWithId(item);
                if (!medium) {
                    return bad(key, item);
                }
                lists.media.push_back(*medium);
            }
        } else if (key == "state") {
            lists.states.clear();
            for (const std::string_view item : split(value, ',')) {
                const std::optional<DiscState> state = parseState(item);
                if (!state) {
                    return bad(key, item);
                }
                lists.states.push_back(*state);
            }
        } else if (key == "capacity" || key == "used" || key == "sessions") {
            const bool sessions = key == "sessions";
            std::vector<std::int64_t>& list = key == "capacity" ? lists.capacities
                                              : sessions        ? lists.sessions
                                                                : lists.used;
            const Range& range = sessions ? sessionRange : sizeRange;
            list.clear();
            for (const std::string_view item : split(value, ',')) {
                std::int64_t number = 0;
                if (!took(sessions ? parseQuantity(item, countUnits, range, number)
                                   : parseQuantity(item, sizeUnits, range, number),
                          key, item, range)) {
                    return std::nullopt;
                }
                list.push_back(sessions ? number : number / sectorBytes);
            }
        } else if (key == "insert-after" || key == "no-medium-for" || key == "erase-time" ||
                   key == "resume" || (key == "unready" && hasValue)) {
            std::optional<Trigger> trigger;
            Range range{};
            if (!took(parseTrigger(value, trigger, range), key, value, range)) {
                return std::nullopt;
            }
            if (key == "insert-after") {
                config.insertAfter = *trigger;
            } else {
                (key == "no-medium-for" ? config.noMediumFor
                 : key == "erase-time"  ? config.eraseTime
                 : key == "resume"      ? config.resume
                                        : config.unready) = trigger;
            }
        } else if (key == "unready") {
            config.unready = Trigger::never();
        } else if (key == "rate" || key == "top-speed") {
            Range range{};
            if (!took(parseRate(value, key == "rate" ? config.rate : config.topSpeed, range), key,
                      value, range)) {
                return std::nullopt;
            }
        } else if (key == "contents") {
            lists.contents = split(value, ',');
        } else if (key == "stall-on") {
            config.stallOn = parseOpcode(value);
            if (!config.stallOn) {
                return bad(key, value);
            }
        } else if (key == "refuse") {
            for (const std::string_view item : split(value, ',')) {
                const std::optional<std::uint8_t> opcode = parseOpcode(item);
                if (!opcode) {
                    return bad(key, item);
                }
                config.refused.push_back(*opcode);
            }
        } else if (key == "log") {
            if (value.empty()) {
                return bad(key, value);
            }
            config.log = std::string(value);
        } else if (key == "tray") {
            if (value != "manual" && value != "motorised") {
                return bad(key, value);
            }
            config.manualTray = value == "manual";
        } else if (key == "no-fast-blank" || key == "cache" || key == "pow" || key == "denied") {
            if (hasValue) {
                return bad(key, value);
            }
            (key == "no-fast-blank" ? config.noFastBlank
             : key == "cache"       ? config.cache
             : key == "pow"         ? lists.pseudoOverwrite
                                    : config.denied) = true;
        } else if (key == "unreadable") {
            const std::size_t dash = value.find('-');
            const std::string_view first = value.substr(0, dash);
            const std::string_view last =
                dash == std::string_view::npos ? first : value.substr(dash + 1);
            SectorRange range;
            if (!took(parseQuantity(first, countUnits, sectorRange, range.first), key, value,
                      sectorRange) ||
                !took(parseQuantity(last, countUnits, sectorRange, range.last), key, value,
                      sectorRange)) {
                return std::nullopt;
            }
            if (range.last < range.first) {
                return bad(key, value);
            }
            config.unreadable = range;
        } else if (key == "busy") {
            if (!value.empty() && value != "1" && value != "0") {
                return bad(key, value);
            }
            config.busy = value != "0";
        } else if (key == "lost-at" || key == "fail-at-sector" || key == "bad-sector" ||
                   key == "stall-at" || key == "stall-read-at") {
            std::int64_t sector = 0;
            if (!took(parseQuantity(value, countUnits, sectorRange, sector), key, value,
                      sectorRange)) {
                return std::nullopt;
            }
            (key == "lost-at"          ? config.lostAt
             : key == "fail-at-sector" ? config.failAt
             : key == "bad-sector"     ? config.badSector
             : key == "stall-at"       ? config.stallAt
                                       : config.stallReadAt) = sector;
        } else {
            problem = "unknown parameter \"" + std::string(key) + "\"";
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
