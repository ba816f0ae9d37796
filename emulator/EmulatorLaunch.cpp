// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/EmulatorLaunch.h"

#include "emulator/DiscFiles.h"
#include "emulator/DriveConfig.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace emulator::launch {

namespace {

// The emulator, beside the program that uses it, in the build and installed.
constexpr const char* libraryName = "libemberlin-emulator.so";

using EmulatedDeviceFunction = const char* (*)();

EmulatedDeviceFunction emulatedDeviceFunction() {
    return reinterpret_cast<EmulatedDeviceFunction>(
        ::dlsym(RTLD_DEFAULT, "emberlin_emulated_device"));
}

std::string thisProgram() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
}

} // namespace

bool namesEmulatedDrive(std::string_view id) {
    return id.starts_with(DriveConfig::prefix);
}

std::optional<std::string> problemWith(std::string_view id) {
    std::string problem;
    const std::optional<DriveConfig> config = DriveConfig::parse(id, problem);
    if (!config) {
        return problem;
    }
    return DiscFiles(config->path, config->discs.size(), config->log).problem();
}

std::optional<media::Medium> firstMedium(std::string_view id) {
    std::string problem;
    const std::optional<DriveConfig> config = DriveConfig::parse(id, problem);
    return config ? std::optional(config->discs.front().medium) : std::nullopt;
}

bool deniesAccess(std::string_view id) {
    std::string problem;
    const std::optional<DriveConfig> config = DriveConfig::parse(id, problem);
    return config && config->denied;
}

std::optional<std::string> startEmulator(const std::string& id, char** argv) {
    // Started again, the emulator checked the id and its files itself.
    if (!namesEmulatedDrive(id) || emulatedDeviceFunction() != nullptr) {
        return std::nullopt;
    }
    std::string invalid;
    const std::optional<DriveConfig> config = DriveConfig::parse(id, invalid);
    if (!config) {
        return "Invalid emulated drive \"" + id + "\": " + invalid;
    }
    if (std::optional<std::string> unusable =
            DiscFiles(config->path, config->discs.size(), config->log).prepare()) {
        return unusable;
    }
    const char* started = std::getenv(emulatedDriveVariable);
    if (started != nullptr && id == started) {
        // This is the program started again, and the library did not load.
        return "The drive emulator could not be loaded";
    }
    const std::string program = thisProgram();
    const std::string library = program.substr(0, program.find_last_of('/') + 1) + libraryName;
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
    ::setenv(emulatedDriveVariable, id.c_str(), 1);
    ::execv(program.c_str(), argv);
    return "Cannot start " + program + " with the drive emulator: " + std::strerror(errno);
}

std::optional<std::string> emulatedDevice() {
    const EmulatedDeviceFunction function = emulatedDeviceFunction();
    const char* path = function != nullptr ? function() : nullptr;
    return path != nullptr ? std::optional<std::string>(path) : std::nullopt;
}

} // namespace emulator::launch
