// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace disctool {

// The emulated burner behind sim: ids: a library preloaded into this program
// that answers libburn's calls on the emulated drive's file as a drive would.
// A burn to such an id starts this program again in the same process (same
// pid, arguments and terminal) with the library loaded; burns to real drives
// and files load nothing extra.
namespace driveEmulator {

bool named(std::string_view id);

// For an emulated drive's id in a process without the emulator: checks the
// id, then starts this program again with the emulator. Returns why it could
// not; nothing when the burn can go on in this process.
std::optional<std::string> prepare(const std::string& id, char** argv);

// The device the emulator answers for, once it runs in this process.
std::optional<std::string> device();

} // namespace driveEmulator

} // namespace disctool
