// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace emulator {

// A unit written after a number, and what it multiplies the number by.
struct Unit {
    std::string_view suffix;
    std::int64_t factor;
};

// The largest value a quantity may have, and that value as a person would
// write it. Far beyond any disc and any wait, yet far from overflowing the
// byte addresses and clock times computed from it.
struct Range {
    std::int64_t maximum;
    std::string_view written;
};

enum class Parsed { Ok, Invalid, OutOfRange };

// A whole number followed by one of `units`, scaled by that unit into `value`.
Parsed parseQuantity(std::string_view text, std::span<const Unit> units, const Range& range,
                     std::int64_t& value);

} // namespace emulator
