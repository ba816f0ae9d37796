// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Drive.h"

#include <scsi/sg.h>

namespace emulator {

// What Linux answers to the ioctls a program makes on an optical drive's
// block device (the sr driver, the CD-ROM layer and the block layer's SCSI
// pass-through), for the emulated drive: SG_IO hands the command to the
// drive, and a CD-ROM ioctl becomes the MMC commands the kernel sends for it.
class DeviceControl {
public:
    explicit DeviceControl(Drive& drive)
        : drive_(drive) {}

    // The ioctl's result: 0 or a value, -1 with errno set.
    int handle(unsigned long request, void* argument);

private:
    int passThrough(sg_io_hdr_t& header);
    // A command the kernel sends to the drive on its own account.
    Reply send(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> toHost = {});
    bool mediaChanged();

    Drive& drive_;
    int timeout_ = 0;              // SG_SET_TIMEOUT, in clock ticks
    int reservedSize_ = 32 * 1024; // SG_SET_RESERVED_SIZE, in bytes
};

} // namespace emulator
