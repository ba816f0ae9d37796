// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveFactory.h"

#include "LibburnDrive.h"
#include "SimulatedDrive.h"
#include "SimulatedDriveConfig.h"

std::unique_ptr<Drive> makeDrive(const std::string& id, LibburnSession& session,
                                 std::string& problem) {
    if (id.starts_with(SimulatedDriveConfig::prefix)) {
        std::string specProblem;
        std::optional<SimulatedDriveConfig> spec = SimulatedDriveConfig::parse(id, specProblem);
        if (!spec) {
            problem = "Invalid simulated drive \"" + id + "\": " + specProblem;
            return nullptr;
        }
        auto backing =
            std::make_unique<LibburnDrive>(session, "stdio:" + spec->backingPath, std::nullopt);
        return std::make_unique<SimulatedDrive>(std::move(*spec), std::move(backing));
    }
    if (id.starts_with("stdio:")) {
        return std::make_unique<LibburnDrive>(session, id, std::nullopt);
    }
    return std::make_unique<LibburnDrive>(session, id, DeviceAccess(MountTable(), Unmounter()));
}
