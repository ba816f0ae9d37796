// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace disctool {

// One burner of `burn -list`: the name line ("NAME via TRANSPORT") and the
// device id that a burn takes.
struct ListedBurner {
    std::string name;
    std::string device;
};

} // namespace disctool
