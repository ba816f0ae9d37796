// SPDX-License-Identifier: GPL-3.0-or-later
#include "DriveFactory.h"

#include "LibburnDrive.h"
#include "SimulatedDrive.h"
#include "SimulatedDriveConfig.h"

namespace disctool {

std::unique_ptr<Drive> makeDrive(const std::string& id, LibburnSession& session,
                                 std::string& problem) {
    if (id.starts_with(SimulatedDriveConfig::prefix)) {
        std::string configProblem;
        std::optional<SimulatedDriveConfig> config = SimulatedDriveConfig::parse(id, configProblem);
        if (!config) {
            problem = "Invalid simulated drive \"" + id + "\": " + configProblem;
            return nullptr;
        }
        auto backing = std::make_unique<LibburnDrive>(session, "stdio:" + config->backingPath,
                                                      std::nullopt, FileWrites::InPlace);
        return std::make_unique<SimulatedDrive>(std::move(*config), std::move(backing));
    }
    if (id.starts_with("stdio:")) {
        return std::make_unique<LibburnDrive>(session, id, std::nullopt);
    }
    return std::make_unique<LibburnDrive>(session, id, DeviceAccess(MountTable(), Unmounter()));
}

} // namespace disctool
