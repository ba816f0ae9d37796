// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveFactory.h"

#include "EmulatorLaunch.h"
#include "LibburnDrive.h"

namespace disctool {

std::unique_ptr<Drive> makeDrive(const std::string& id, LibburnSession& session,
                                 std::string& problem) {
    if (id.starts_with("stdio:")) {
        return std::make_unique<LibburnDrive>(session, id, std::nullopt);
    }
    std::string device = id;
    if (emulator::launch::namesEmulatedDrive(id)) {
        const std::optional<std::string> emulated = emulator::launch::emulatedDevice();
        if (!emulated) {
            problem = "The emulated drive " + id + " did not start";
            return nullptr;
        }
        device = *emulated;
    }
    return std::make_unique<LibburnDrive>(session, device, DeviceAccess(MountTable(), Unmounter()));
}

} // namespace disctool
