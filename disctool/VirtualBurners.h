// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/ListedBurner.h"

#include <string_view>
#include <vector>

namespace disctool {

// Burners that need no hardware, listed when the user names them in an
// environment variable: emulated drives (sim:PATH?...) and file-backed ones
// (stdio:PATH), separated by ";" or line ends. An id that cannot be used is
// still listed, with the reason in its name, so that a typo shows up in the
// burner menu rather than vanishing.
std::vector<ListedBurner> virtualBurners(std::string_view configured);

constexpr const char* virtualBurnersVariable = "EMBERLIN_VIRTUAL_BURNERS";

} // namespace disctool
