// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/DriveConfig.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

// What the parameters of an id say of its discs, a list each, one item a
// disc (the last one for the discs after it), before the discs are
// described from them.
struct DiscLists {
    std::vector<Medium> media{Medium::CDR};
    std::vector<DiscState> states{DiscState::Blank};
    std::vector<std::int64_t> capacities;
    std::vector<std::int64_t> used;
    std::vector<std::int64_t> sessions;
    std::vector<std::string_view> contents; // an empty item: no contents
    bool pseudoOverwrite = false;
};

// The pieces of `text` between `separator`s.
std::vector<std::string_view> split(std::string_view text, char separator);

// Takes one parameter of an id, "key=value" or "key", into `config` and
// `lists`; false with `problem` saying what is wrong with it.
bool readParameter(std::string_view parameter, DriveConfig& config, DiscLists& lists,
                   std::string& problem);

} // namespace emulator
