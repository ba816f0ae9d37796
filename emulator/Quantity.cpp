// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Quantity.h"

#include <charconv>

namespace emulator {

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
    const std::string_view suffix = text.substr(static_cast<std::size_t>(end - text.data()));
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

} // namespace emulator
