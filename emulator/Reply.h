// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Sense.h"

#include <cstddef>
#include <optional>

namespace emulator {

// How a command ended.
struct Reply {
    std::size_t transferred = 0; // bytes sent to the host
    std::optional<Sense> sense;  // why it failed
    bool changedDisc = false;    // worth remembering for the next run
    bool driveGone = false;      // the drive vanished from the system

    static Reply failed(const Sense& why) { return Reply{0, why, false, false}; }
};

} // namespace emulator
