// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatedDriveConfig.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>

namespace disctool {

namespace {

constexpr std::int64_t sectorBytes = 2048;

constexpr std::array<std::pair<SimulatedMediumKind, SimulatedMediumTraits>, 6> allTraits{{
    {SimulatedMediumKind::CDR, {"cd-r", "CD-R", MediumKind::CDR, true, 359848 * sectorBytes}},
    {SimulatedMediumKind::CDRW, {"cd-rw", "CD-RW", MediumKind::CDRW, true, 359848 * sectorBytes}},
    {SimulatedMediumKind::DVDMinusR,
     {"dvd-r", "DVD-R sequential recording", MediumKind::DVDR, true, 2295104 * sectorBytes}},
    {SimulatedMediumKind::DVDPlusR,
     {"dvd+r", "DVD+R", MediumKind::DVDPlusR, false, 2295104 * sectorBytes}},
    {SimulatedMediumKind::DVDMinusRW,
     {"dvd-rw", "DVD-RW sequential recording", MediumKind::DVDRWSequential, true,
      2295104 * sectorBytes}},
    {SimulatedMediumKind::BDR,
     {"bd-r", "BD-R sequential recording", MediumKind::BDR, false, 12219392 * sectorBytes}},
}};

// What earlier sessions of an appendable disc take by default.
constexpr std::int64_t defaultUsedBytes = 16 * 1024 * 1024;

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

struct Unit {
    std::string_view suffix;
    std::int64_t factor;
};

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

// Far beyond any disc and any wait, yet far from overflowing the byte
// addresses and clock times that are computed from them.
struct Range {
    std::int64_t maximum;
    std::string_view written; // the maximum as the user would write it
};
constexpr Range sizeRange{std::int64_t{1} << 40, "1024G"};
constexpr Range sectorRange{sizeRange.maximum / sectorBytes, "536870912"};
constexpr Range durationRange{24 * 3600 * 1000, "86400s"};

enum class Parsed { Ok, Invalid, OutOfRange };

// A whole number with one of the units after it, scaled by the unit.
Parsed parseQuantity(std::string_view text, std::span<const Unit> units, const Range& range,
                     std::int64_t& value) {
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc::result_out_of_range) {
        return Parsed::OutOfRange;
    }
    if (error != std::errc() || end == text.data() || number < 0) {
        return Parsed::Invalid;
    }
    const std::string_view suffix(end, static_cast<std::size_t>(text.data() + text.size() - end));
    for (const Unit& unit : units) {
        if (suffix == unit.suffix) {
            if (number > range.maximum / unit.factor) {
                return Parsed::OutOfRange;
            }
            value = number * unit.factor;
            return Parsed::Ok;
        }
    }
    return Parsed::Invalid;
}

std::optional<SimulatedMediumKind> parseKind(std::string_view text) {
    for (const auto& [kind, traits] : allTraits) {
        if (traits.name == text) {
            return kind;
        }
    }
    return std::nullopt;
}

std::optional<DiscStatus> parseState(std::string_view text) {
    if (text == "blank") {
        return DiscStatus::Blank;
    }
    if (text == "appendable") {
        return DiscStatus::Appendable;
    }
    if (text == "full") {
        return DiscStatus::Full;
    }
    return std::nullopt;
}

template <typename T> const T& nth(const std::vector<T>& list, std::size_t index) {
    return list[std::min(index, list.size() - 1)];
}

} // namespace

const SimulatedMediumTraits& traitsOf(SimulatedMediumKind kind) {
    for (const auto& [candidate, traits] : allTraits) {
        if (candidate == kind) {
            return traits;
        }
    }
    return allTraits.front().second;
}

std::optional<SimulatedDriveConfig> SimulatedDriveConfig::parse(std::string_view id,
                                                                std::string& problem) {
    if (!id.starts_with(prefix)) {
        problem = "a simulated drive's id begins with \"sim:\"";
        return std::nullopt;
    }
    id.remove_prefix(prefix.size());
    const std::size_t query = id.find('?');
    SimulatedDriveConfig config;
    config.backingPath = std::string(id.substr(0, query));
    if (config.backingPath.empty()) {
        problem = "a simulated drive needs a file: sim:PATH";
        return std::nullopt;
    }

    std::vector<SimulatedMediumKind> kinds{SimulatedMediumKind::CDR};
    std::vector<DiscStatus> states{DiscStatus::Blank};
    std::vector<std::int64_t> capacities;
    std::vector<std::int64_t> used;
    const auto bad = [&problem](std::string_view key, std::string_view value) {
        problem = "invalid value \"" + std::string(value) + "\" for " + std::string(key);
        return std::nullopt;
    };
    // Reads a number with its unit; false with `problem` set when it is not one or too large.
    const auto quantity = [&problem](std::string_view key, std::string_view text,
                                     std::span<const Unit> units, const Range& range,
                                     std::int64_t& value) {
        switch (parseQuantity(text, units, range, value)) {
        case Parsed::Ok:
            return true;
        case Parsed::Invalid:
            problem = "invalid value \"" + std::string(text) + "\" for " + std::string(key);
            break;
        case Parsed::OutOfRange:
            problem = "value \"" + std::string(text) + "\" for " + std::string(key) +
                      " is out of range (at most " + std::string(range.written) + ")";
            break;
        }
        return false;
    };

    const std::string_view parameters =
        query == std::string_view::npos ? std::string_view() : id.substr(query + 1);
    for (const std::string_view parameter : split(parameters, '&')) {
        if (parameter.empty()) {
            continue;
        }
        const std::size_t equals = parameter.find('=');
        const std::string_view key = parameter.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : parameter.substr(equals + 1);
        if (key == "medium") {
            kinds.clear();
            for (const std::string_view item : split(value, ',')) {
                const auto kind = parseKind(item);
                if (!kind) {
                    return bad(key, item);
                }
                kinds.push_back(*kind);
            }
        } else if (key == "state") {
            states.clear();
            for (const std::string_view item : split(value, ',')) {
                const auto state = parseState(item);
                if (!state) {
                    return bad(key, item);
                }
                states.push_back(*state);
            }
        } else if (key == "capacity" || key == "used") {
            std::vector<std::int64_t>& sizes = key == "capacity" ? capacities : used;
            sizes.clear();
            for (const std::string_view item : split(value, ',')) {
                std::int64_t size = 0;
                if (!quantity(key, item, sizeUnits, sizeRange, size)) {
                    return std::nullopt;
                }
                sizes.push_back(size / sectorBytes * sectorBytes);
            }
        } else if (key == "insert-after" || key == "erase-time") {
            std::int64_t milliseconds = 0;
            if (!quantity(key, value, durationUnits, durationRange, milliseconds)) {
                return std::nullopt;
            }
            (key == "insert-after" ? config.insertAfter : config.eraseTime) =
                std::chrono::milliseconds(milliseconds);
        } else if (key == "busy") {
            if (!value.empty() && value != "1" && value != "0") {
                return bad(key, value);
            }
            config.busy = value != "0";
        } else if (key == "lost-at" || key == "fail-at-sector" || key == "bad-sector") {
            std::int64_t sector = 0;
            if (!quantity(key, value, countUnits, sectorRange, sector)) {
                return std::nullopt;
            }
            (key == "lost-at"          ? config.lostAtSector
             : key == "fail-at-sector" ? config.failAtSector
                                       : config.badSector) = sector;
        } else {
            problem = "unknown parameter \"" + std::string(key) + "\"";
            return std::nullopt;
        }
    }

    const std::size_t discCount =
        std::max({kinds.size(), states.size(), capacities.size(), used.size()});
    for (std::size_t i = 0; i < discCount; ++i) {
        SimulatedDisc disc;
        disc.kind = nth(kinds, i);
        disc.state = nth(states, i);
        disc.capacity = capacities.empty() ? traitsOf(disc.kind).capacity : nth(capacities, i);
        switch (disc.state) {
        case DiscStatus::Full:
            disc.used = disc.capacity;
            break;
        case DiscStatus::Appendable:
            disc.used = used.empty() ? std::min(defaultUsedBytes, disc.capacity / 2) : nth(used, i);
            break;
        default:
            disc.used = 0;
            break;
        }
        if (disc.used > disc.capacity) {
            problem = "a disc cannot use more than its capacity";
            return std::nullopt;
        }
        config.discs.push_back(disc);
    }
    return config;
}

} // namespace disctool
