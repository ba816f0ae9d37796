// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/IdParameter.h"

#include "emulator/Bytes.h"
#include "emulator/Quantity.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <span>

namespace emulator {

namespace {

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

// One parameter of an id as it is read: its key and value, and where what
// it says goes. A reader returns false with `problem` saying what is wrong.
struct Reading {
    std::string_view key;
    std::string_view value;
    bool hasValue;
    DriveConfig& config;
    DiscLists& lists;
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
Reader numbers(std::vector<std::int64_t> DiscLists::*list, std::span<const Unit> units,
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
        {"capacity", numbers(&DiscLists::capacities, sizeUnits, sizeRange, sectorBytes)},
        {"used", numbers(&DiscLists::used, sizeUnits, sizeRange, sectorBytes)},
        {"sessions", numbers(&DiscLists::sessions, countUnits, sessionRange, 1)},
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

bool readParameter(std::string_view parameter, DriveConfig& config, DiscLists& lists,
                   std::string& problem) {
    const std::size_t equals = parameter.find('=');
    const std::string_view key = parameter.substr(0, equals);
    const bool hasValue = equals != std::string_view::npos;
    const std::string_view value = hasValue ? parameter.substr(equals + 1) : std::string_view();
    const auto reader = std::find_if(readers().begin(), readers().end(),
                                     [key](const auto& known) { return known.first == key; });
    if (reader == readers().end()) {
        problem = "unknown parameter \"" + std::string(key) + "\"";
        return false;
    }
    return reader->second(Reading{key, value, hasValue, config, lists, problem});
}

} // namespace emulator
