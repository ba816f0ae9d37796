// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/Drive.h"
#include "disctool/LibburnSession.h"

#include <memory>
#include <string>

namespace disctool {

// The drive behind a device id: a device node (/dev/sr0), a file-backed drive
// (stdio:PATH) or an emulated one (sim:PATH?...), which libburn drives like a
// device node once the emulator runs in this process. Null with `problem`
// set when there is no such drive to be had.
std::unique_ptr<Drive> makeDrive(const std::string& id, LibburnSession& session,
                                 std::string& problem);

} // namespace disctool
