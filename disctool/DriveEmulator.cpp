// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveEmulator.h"

#include "DriveConfig.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace disctool::driveEmulator {

namespace {

using EmulatedDeviceFunction = const char* (*)();

EmulatedDeviceFunction emulatedDevice() {
    return reinterpret_cast<EmulatedDeviceFunction>(
        ::dlsym(RTLD_DEFAULT, "emberlin_emulated_device"));
}

std::string thisProgram() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

} // namespace

bool named(std::string_view id) {
    return id.starts_with(emulator::DriveConfig::prefix);
}

std::optional<std::string> prepare(const std::string& id, char** argv) {
    if (!named(id)) {
        return std::nullopt;
    }
    std::string problem;
    const std::optional<emulator::DriveConfig> config = emulator::DriveConfig::parse(id, problem);
    if (!config) {
        return "Invalid emulated drive \"" + id + "\": " + problem;
    }
    if (const std::optional<std::string> unusable = config->backingFileProblem()) {
        return *unusable;
    }
    if (emulatedDevice() != nullptr) {
        return std::nullopt;
    }
    const char* started = std::getenv(emulator::emulatedDriveVariable);
    if (started != nullptr && id == started) {
        // This is the program started again, and the library did not load.
        return "The drive emulator could not be loaded";
    }
    const std::string program = thisProgram();
    const std::string library =
        program.substr(0, program.find_last_of('/') + 1) + emulator::emulatorLibraryName;
    if (program.empty() || ::access(library.c_str(), R_OK) != 0) {
        return "The drive emulator " + library + " is missing";
    }
    if (library.find_first_of(" :") != std::string::npos) {
        return "The drive emulator cannot be loaded from " + library +
               ": its path holds a blank or a colon";
    }
    const char* preloaded = std::getenv("LD_PRELOAD");
    const std::string preload = preloaded != nullptr && *preloaded != '\0'
                                    ? std::string(preloaded) + ":" + library
                                    : library;
    ::setenv("LD_PRELOAD", preload.c_str(), 1);
    ::setenv(emulator::emulatedDriveVariable, id.c_str(), 1);
    ::execv(program.c_str(), argv);
    return "Cannot start " + program + " with the drive emulator: " + std::strerror(errno);
}

std::optional<std::string> device() {
    const EmulatedDeviceFunction function = emulatedDevice();
    const char* path = function != nullptr ? function() : nullptr;
    return path != nullptr ? std::optional<std::string>(path) : std::nullopt;
}

} // namespace disctool::driveEmulator
