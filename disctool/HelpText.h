// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace disctool {

// What `-help` prints: the command lines, the device ids and the exit status.
std::string_view helpText();

} // namespace disctool
