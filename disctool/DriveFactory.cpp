// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveFactory.h"

#include "DriveEmulator.h"
#include "LibburnDrive.h"

namespace disctool {

std::unique_ptr<Drive> makeDrive(const std::string& id, LibburnSession& session,
                                 std::string& problem) {
    if (id.starts_with("stdio:")) {
        return std::make_unique<LibburnDrive>(session, id, std::nullopt);
    }
    std::string device = id;
    if (driveEmulator::named(id)) {
        const std::optional<std::string> emulated = driveEmulator::device();
        if (!emulated) {
            problem = "The emulated drive " + id + " did not start";
            return nullptr;
        }
        device = *emulated;
    }
    return std::make_unique<LibburnDrive>(session, device, DeviceAccess(MountTable(), Unmounter()));
}

} // namespace disctool
