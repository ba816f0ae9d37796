// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/MountTable.h"
#include "disctool/Unmounter.h"

#include <string>

namespace disctool {

// Looks at a drive's device node before libburn opens it, so that an absent,
// forbidden or busy drive is told apart quickly and in words the user can act
// on (libburn hides a forbidden drive and retries a busy one for seconds).
// A disc that the desktop mounted is unmounted on the way.
class DeviceAccess {
public:
    enum class Verdict { Ready, Missing, NoPermission, Busy };

    struct Result {
        Verdict verdict = Verdict::Ready;
        std::string detail;
    };

    DeviceAccess(MountTable mounts, Unmounter unmounter);

    Result check(const std::string& device) const;

    // How to get access to a device the user may not open.
    static std::string permissionAdvice(const std::string& device);

private:
    MountTable mounts_;
    Unmounter unmounter_;
};

} // namespace disctool
