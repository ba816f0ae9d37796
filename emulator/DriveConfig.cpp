// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/DriveConfig.h"

#include "emulator/Bytes.h"
#include "emulator/Quantity.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <functional>
#include <span>
#include <sys/stat.h>

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

// One parameter of an id as it is read: its key and value, and where what
// it says goes. A reader returns false with `problem` saying what is wrong.
struct Reading {
    std::string_view key;
    std::string_view value;
    bool hasValue;
    DriveConfig& config;
    Lists& lists;
    std::string& problem;

    bool bad(std::string_view item) const {
        problem = "invalid value \"" + std::string(item) + "\" for " + std::string(key);
        return false;
    }
    // False with `problem` set when `text` was not a value in `range`.
    bool took(Parsed parsed, std::string_view text, const Range& range) const {
        if (parsed == Parsed::Invalid) {
            bad(text);
        } else if (parsed == Parsed::OutOfRange) {
            problem = "value \"" + std::string(text) + "\" for " + std::string(key) +
                      " is out of range (at most " + std::string(range.written) + ")";
        }
        return parsed == Parsed::Ok;
    }
};

using Reader = std::function<bool(const Reading&)>;

// A comma list of numbers in `units` within `range`, each divided by `per`.
Reader numbers(std::vector<std::int64_t> Lists::*list, std::span<const Unit> units,
               const Range& range, std::int64_t per) {
    return [=](const Reading& reading) {
        std::vector<std::int64_t>& into = reading.lists.*list;
        into.clear();
        for (const std::string_view item : split(reading.value, ',')) {
            std::int64_t number = 0;
            if (!reading.took(parseQuantity(item, units, range, number), item, range)) {
                return false;
            }
            into.push_back(number / per);
        }
        return true;
    };
}

Reader trigger(std::optional<Trigger> DriveConfig::*field) {
    return [field](const Reading& reading) {
        Range range{};
        return reading.took(parseTrigger(reading.value, reading.config.*field, range),
                            reading.value, range);
    };
}

Reader rate(std::optional<Rate> DriveConfig::*field) {
    return [field](const Reading& reading) {
        Range range{};
        return reading.took(parseRate(reading.value, reading.config.*field, range), reading.value,
                            range);
    };
}

// A sector counted from the start of the track written or read.
Reader sector(std::optional<std::int64_t> DriveConfig::*field) {
    return [field](const Reading& reading) {
        std::int64_t sector = 0;
        if (!reading.took(parseQuantity(reading.value, countUnits, sectorRange, sector),
                          reading.value, sectorRange)) {
            return false;
        }
        reading.config.*field = sector;
        return true;
    };
}

// A parameter without a value that turns something on.
Reader flag(bool& (*on)(const Reading&)) {
    return [on](const Reading& reading) {
        if (reading.hasValue) {
            return reading.bad(reading.value);
        }
        on(reading) = true;
        return true;
    };
}

// A comma list of items each `parse` takes, or refuses with nullopt.
template <typename T>
Reader items(std::vector<T>& (*into)(const Reading&),
             std::optional<T> (*parse)(std::string_view item)) {
    return [into, parse](const Reading& reading) {
        std::vector<T>& list = into(reading);
        list.clear();
        for (const std::string_view item : split(reading.value, ',')) {
            const std::optional<T> parsed = parse(item);
            if (!parsed) {
                return reading.bad(item);
            }
            list.push_back(*parsed);
        }
        return true;
    };
}

bool readUnreadable(const Reading& reading) {
    const std::size_t dash = reading.value.find('-');
    const std::string_view first = reading.value.substr(0, dash);
    const std::string_view last =
        dash == std::string_view::npos ? first : reading.value.substr(dash + 1);
    SectorRange range;
    if (!reading.took(parseQuantity(first, countUnits, sectorRange, range.first), reading.value,
                      sectorRange) ||
        !reading.took(parseQuantity(last, countUnits, sectorRange, range.last), reading.value,
                      sectorRange)) {
        return false;
    }
    if (range.last < range.first) {
        return reading.bad(reading.value);
    }
    reading.config.unreadable = range;
    return true;
}

// Every parameter an id may have, by its key.
const std::vector<std::pair<std::string_view, Reader>>& readers() {
    static const std::vector<std::pair<std::string_view, Reader>> all{
        {"medium", items<Medium>(
                       [](const Reading& r) -> auto& { return r.lists.media; }, mediumWithId)},
        {"state", items<DiscState>(
                      [](const Reading& r) -> auto& { return r.lists.states; }, parseState)},
        {"capacity", numbers(&Lists::capacities, sizeUnits, sizeRange, sectorBytes)},
        {"used", numbers(&Lists::used, sizeUnits, sizeRange, sectorBytes)},
        {"sessions", numbers(&Lists::sessions, countUnits, sessionRange, 1)},
        {"insert-after",
         [](const Reading& reading) {
             std::optional<Trigger> trigger;
             Range range{};
             if (!reading.took(parseTrigger(reading.value, trigger, range), reading.value, range)) {
                 return false;
             }
             reading.config.insertAfter = *trigger;
             return true;
         }},
        {"no-medium-for", trigger(&DriveConfig::noMediumFor)},
        {"erase-time", trigger(&DriveConfig::eraseTime)},
        {"resume", trigger(&DriveConfig::resume)},
        // Without a value: never ready.
        {"unready",
         [](const Reading& reading) {
             if (!reading.hasValue) {
                 reading.config.unready = Trigger::never();
                 return true;
             }
             return trigger(&DriveConfig::unready)(reading);
         }},
        {"rate", rate(&DriveConfig::rate)},
        {"top-speed", rate(&DriveConfig::topSpeed)},
        {"contents",
         [](const Reading& reading) {
             reading.lists.contents = split(reading.value, ',');
             return true;
         }},
        {"stall-on",
         [](const Reading& reading) {
             reading.config.stallOn = parseOpcode(reading.value);
             return reading.config.stallOn || reading.bad(reading.value);
         }},
        {"refuse", items<std::uint8_t>(
                       [](const Reading& r) -> auto& { return r.config.refused; }, parseOpcode)},
        {"log",
         [](const Reading& reading) {
             if (reading.value.empty()) {
                 return reading.bad(reading.value);
             }
             reading.config.log = std::string(reading.value);
             return true;
         }},
        {"tray",
         [](const Reading& reading) {
             if (reading.value != "manual" && reading.value != "motorised") {
                 return reading.bad(reading.value);
             }
             reading.config.manualTray = reading.value == "manual";
             return true;
         }},
        {"no-fast-blank", flag([](const Reading& r) -> bool& { return r.config.noFastBlank; })},
        {"cache", flag([](const Reading& r) -> bool& { return r.config.cache; })},
        {"pow", flag([](const Reading& r) -> bool& { return r.lists.pseudoOverwrite; })},
        {"denied", flag([](const Reading& r) -> bool& { return r.config.denied; })},
        {"unreadable", readUnreadable},
        {"busy",
         [](const Reading& reading) {
             if (!reading.value.empty() && reading.value != "1" && reading.value != "0") {
                 return reading.bad(reading.value);
             }
             reading.config.busy = reading.value != "0";
             return true;
         }},
        {"lost-at", sector(&DriveConfig::lostAt)},
        {"fail-at-sector", sector(&DriveConfig::failAt)},
        {"bad-sector", sector(&DriveConfig::badSector)},
        {"stall-at", sector(&DriveConfig::stallAt)},
        {"stall-read-at", sector(&DriveConfig::stallReadAt)},
    };
    return all;
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
    Lists lists;
    for (const std::string_view parameter : split(parameters, '&')) {
        if (parameter.empty()) {
            continue;
        }
        const std::size_t equals = parameter.find('=');
        const std::string_view key = parameter.substr(0, equals);
        const bool hasValue = equals != std::string_view::npos;
        const std::string_view value = hasValue ? parameter.substr(equals + 1) : std::string_view();
        const auto reader = std::find_if(readers().begin(), readers().end(),
                                         [key](const auto& known) { return known.first == key; });
        if (reader == readers().end()) {
            problem = "unknown parameter \"" + std::string(key) + "\"";
            return std::nullopt;
        }
        if (!reader->second(Reading{key, value, hasValue, config, lists, problem})) {
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
