// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/DeviceControl.h"
#include "emulator/Drive.h"
#include "emulator/DriveClock.h"
#include "emulator/DriveConfig.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace emulator {

// Whether the calling thread runs the emulator's own code, whose file
// accesses go to the C library untouched.
bool insideEmulator();

// The emulated drive of this process, as the system shows it: a device node
// at one path, a block device as /dev/srN is. A descriptor belongs to it when
// it is open on the node's file, however the program came by it: opened,
// duplicated, or inherited across exec from the program that opened it. The
// drive comes to life when a program first uses the node, so programs that
// never do leave its discs alone. Programs call in from several threads:
// every call takes the lock.
class EmulatedDevice {
public:
    // The device the environment names, or one that names no path. Never
    // destroyed: a program's last calls at exit may still come here.
    static EmulatedDevice& instance();

    bool names(const char* path) const;
    bool owns(int fd);
    const std::string& path() const { return path_; }

    // open(2) of the node; -1 with errno as the kernel sets it.
    int open(const char* path, int flags);
    // ioctl(2) on one of its descriptors.
    int control(unsigned long request, void* argument);
    // Whether the node exists: not once the drive left the system.
    bool present();
    // stat(2) of the node, made from the file's own status.
    void describe(struct stat& status) const;
    // Whether access(2) with `mode` is refused to this user.
    bool refuses(int mode) const;
    // The program ends: the drive remembers what it did to its discs.
    void shutDown();

private:
    EmulatedDevice();
    Drive& drive();

    std::mutex mutex_;
    std::optional<DriveConfig> config_;
    std::string path_;
    std::string canonicalPath_;
    std::optional<gid_t> cdromGroup_;
    dev_t fileDevice_ = 0;
    ino_t fileInode_ = 0;
    SteadyDriveClock clock_;
    std::unique_ptr<Drive> drive_;
    std::unique_ptr<DeviceControl> control_;
};

} // namespace emulator
