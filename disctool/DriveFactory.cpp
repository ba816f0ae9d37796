// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/DriveFactory.h"

#include "disctool/FileDrive.h"
#include "disctool/OpticalDrive.h"
#include "disctool/OutsideText.h"
#include "emulator/EmulatorLaunch.h"

namespace disctool {

std::unique_ptr<Drive> makeDrive(const std::string& id, LibburnSession& session,
                                 std::string& problem) {
    constexpr std::string_view filePrefix = "stdio:";
    if (id.starts_with(filePrefix)) {
        return std::make_unique<FileDrive>(id.substr(filePrefix.size()));
    }
    std::string device = id;
    if (emulator::launch::namesEmulatedDrive(id)) {
        const std::optional<std::string> emulated = emulator::launch::emulatedDevice();
        if (!emulated) {
            problem = "The emulated drive" + outside::quoted(" " + id) + " did not start";
            return nullptr;
        }
        device = *emulated;
    }
    return std::make_unique<OpticalDrive>(session, device, DeviceAccess(MountTable(), Unmounter()));
}

} // namespace disctool
