// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediumFacts.h"

#include <optional>
#include <string>
#include <string_view>

// The one door from the disc-image tool into the emulator. An emulated
// drive's id begins with "sim:"; a burn to one starts the tool again in the
// same process (same pid, arguments and terminal) with the emulator
// preloaded, which then answers for the drive's device. Burns to real drives
// and files load nothing extra.
namespace emulator::launch {

bool namesEmulatedDrive(std::string_view id);

// What is wrong with an emulated drive's id or with the files it names, if
// anything, in words a user can act on.
std::optional<std::string> problemWith(std::string_view id);

// The medium of the first disc an emulated drive's id describes.
std::optional<media::Medium> firstMedium(std::string_view id);

// Whether an emulated drive's id makes it a drive this user may not use, as
// a real one of the group "cdrom" is to a user outside it.
bool deniesAccess(std::string_view id);

// For an emulated drive's id, in a process the emulator does not run in yet:
// starts this program (`argv`) again with the emulator and does not return.
// Returns why it could not; nothing when the burn goes on in this process.
std::optional<std::string> startEmulator(const std::string& id, char** argv);

// The device the emulator answers for, once it runs in this process.
std::optional<std::string> emulatedDevice();

} // namespace emulator::launch
