// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/EmulatedDevice.h"

#include "emulator/DiscFiles.h"
#include "emulator/OwnFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace emulator {

namespace {

thread_local bool inside = false;

class Inside {
public:
    Inside() { inside = true; }
    ~Inside() { inside = false; }
    Inside(const Inside&) = delete;
    Inside& operator=(const Inside&) = delete;
};

// A device number that no device node of the system has (major 0 names no
// driver), so that no program takes the emulated drive for a real one, nor a
// real one for it.
dev_t deviceNumber() {
    return ::makedev(0, 0xEB);
}

} // namespace

bool insideEmulator() {
    return inside;
}

EmulatedDevice& EmulatedDevice::instance() {
    static EmulatedDevice* const device = new EmulatedDevice();
    return *device;
}

EmulatedDevice::EmulatedDevice() {
    const Inside guard;
    const char* id = std::getenv(emulatedDriveVariable);
    std::string problem;
    config_ = id != nullptr ? DriveConfig::parse(id, problem) : std::nullopt;
    if (!config_ || DiscFiles(config_->path, config_->discs.size(), config_->log).prepare()) {
        config_.reset();
        return;
    }
    path_ = config_->path;
    const OwnFile node = OwnFile::open(path_, O_RDWR);
    struct stat file {};
    if (!node.isValid() || ::fstat(node.fd(), &file) != 0) {
        config_.reset();
        return;
    }
    fileDevice_ = file.st_dev;
    fileInode_ = file.st_ino;
    char canonical[PATH_MAX];
    if (::realpath(path_.c_str(), canonical) != nullptr) {
        canonicalPath_ = canonical;
    }
    if (const group* cdrom = ::getgrnam("cdrom")) {
        cdromGroup_ = cdrom->gr_gid;
    }
}

bool EmulatedDevice::names(const char* path) const {
    return config_ && path != nullptr && (path == path_ || path == canonicalPath_);
}

bool EmulatedDevice::owns(int fd) {
    if (!config_) {
        return false;
    }
    const Inside guard;
    struct stat status {};
    return ::fstat(fd, &status) == 0 && status.st_dev == fileDevice_ && status.st_ino == fileInode_;
}

Drive& EmulatedDevice::drive() {
    if (!drive_) {
        drive_ = std::make_unique<Drive>(*config_, clock_);
        control_ = std::make_unique<DeviceControl>(*drive_);
    }
    return *drive_;
}

int EmulatedDevice::open(const char* path, int flags) {
    const std::lock_guard lock(mutex_);
    const Inside guard;
    if (config_->denied) {
        errno = EACCES; // the device belongs to a group this user is not in
        return -1;
    }
    if (!drive().present()) {
        errno = ENOENT;
        return -1;
    }
    if (drive_->heldByAnotherProgram()) {
        errno = EBUSY; // what O_EXCL meets on a drive another program holds
        return -1;
    }
    return ::open(path, flags & (O_ACCMODE | O_CLOEXEC));
}

int EmulatedDevice::control(unsigned long request, void* argument) {
    const std::lock_guard lock(mutex_);
    const Inside guard;
    if (!drive().present()) {
        errno = ENODEV;
        return -1;
    }
    return control_->handle(request, argument);
}

bool EmulatedDevice::present() {
    const std::lock_guard lock(mutex_);
    return !drive_ || drive_->present();
}

void EmulatedDevice::describe(struct stat& status) const {
    status.st_mode = S_IFBLK | (status.st_mode & 07777);
    status.st_rdev = deviceNumber();
    status.st_size = 0;
    status.st_blocks = 0;
    if (config_->denied) {
        // A drive this user may not use: one of the group "cdrom", open to
        // its owner and group only.
        status.st_mode = S_IFBLK | 0660;
        status.st_uid = 0;
        status.st_gid = cdromGroup_.value_or(status.st_gid);
    }
}

bool EmulatedDevice::refuses(int mode) const {
    return config_->denied && mode != F_OK;
}

void EmulatedDevice::shutDown() {
    const std::lock_guard lock(mutex_);
    const Inside guard;
    control_.reset();
    drive_.reset();
}

} // namespace emulator
