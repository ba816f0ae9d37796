// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into a program, this answers the calls a host makes on an optical
// drive's device node (open, stat, close, ioctl) for one path: the file of the
// emulated drive whose device id the environment names. Every other path and
// descriptor goes to the C library untouched. libburn calls the old
// __xstat family and __open_2 as well as the plain names, and sends commands
// from several threads, so every entry point is here and the drive is locked.
#undef _FORTIFY_SOURCE
#include "Drive.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <linux/cdrom.h>
#include <mutex>
#include <scsi/scsi.h>
#include <scsi/scsi_ioctl.h>
#include <scsi/sg.h>
#include <set>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace emulator;

// The sg driver's status for a command that returned sense data.
constexpr unsigned short driverSense = 0x08;

template <typename Function> Function real(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

using OpenFunction = int (*)(const char*, int, ...);
using CloseFunction = int (*)(int);
using IoctlFunction = int (*)(int, unsigned long, ...);
using StatFunction = int (*)(const char*, struct stat*);
using AccessFunction = int (*)(const char*, int);
using AccessAtFunction = int (*)(int, const char*, int, int);

int realOpen(const char* path, int flags, mode_t mode) {
    static const auto function = real<OpenFunction>("open");
    return function(path, flags, mode);
}

// Set while the drive works, whose own file accesses must reach the C library.
thread_local bool insideDrive = false;

class InsideDrive {
public:
    InsideDrive() { insideDrive = true; }
    ~InsideDrive() { insideDrive = false; }
    InsideDrive(const InsideDrive&) = delete;
    InsideDrive& operator=(const InsideDrive&) = delete;
};

// The emulated drive of this process, if the environment names one.
class Emulation {
public:
    // Never destroyed: a program's last calls at exit may still come here.
    static Emulation& instance() {
        static Emulation* const emulation = new Emulation();
        return *emulation;
    }

    // The program ends: the drive remembers what it did to its disc.
    void shutDown() {
        const std::lock_guard lock(mutex_);
        const InsideDrive inside;
        drive_.reset();
    }

    bool handles(const char* path) const {
        return config_ && path != nullptr && (path == path_ || path == canonicalPath_);
    }
    bool handles(int fd) {
        const std::lock_guard lock(mutex_);
        return descriptors_.contains(fd);
    }
    const std::string& path() const { return path_; }

    int open(const char* path, int flags) {
        const std::lock_guard lock(mutex_);
        const InsideDrive inside;
        // The drive comes to life when a program first opens it: programs
        // that never do leave its discs alone.
        if (config_->denied) {
            errno = EACCES; // the device belongs to a group this user is not in
            return -1;
        }
        if (!drive_) {
            drive_ = std::make_unique<Drive>(*config_);
        }
        if (!drive_->present()) {
            errno = ENOENT;
            return -1;
        }
        if (drive_->heldByAnotherProgram()) {
            errno = EBUSY; // what O_EXCL meets on a drive another program holds
            return -1;
        }
        const int fd = realOpen(path, O_RDWR | (flags & O_CLOEXEC), 0);
        if (fd >= 0) {
            descriptors_.insert(fd);
        }
        return fd;
    }

    void forget(int fd) {
        const std::lock_guard lock(mutex_);
        descriptors_.erase(fd);
    }

    bool present() {
        const std::lock_guard lock(mutex_);
        return !drive_ || drive_->present();
    }

    bool denied() const { return config_->denied; }

    // A drive this user may not open looks like the device node of a drive
    // of the group "cdrom", open to its owner and group only.
    void describeDenied(struct stat& status) const {
        status.st_mode = (status.st_mode & ~07777) | 0660;
        status.st_uid = 0;
        status.st_gid = cdromGroup_.value_or(status.st_gid);
    }

    int control(unsigned long request, void* argument) {
        const std::lock_guard lock(mutex_);
        const InsideDrive inside;
        if (!drive_ || !drive_->present()) {
            errno = ENODEV;
            return -1;
        }
        switch (request) {
        case SG_IO:
            return command(*static_cast<sg_io_hdr_t*>(argument));
        case SG_GET_SCSI_ID: {
            auto* id = static_cast<sg_scsi_id*>(argument);
            *id = sg_scsi_id{};
            id->host_no = hostNumber;
            id->scsi_type = TYPE_ROM;
            return 0;
        }
        case SG_GET_VERSION_NUM:
            *static_cast<int*>(argument) = 30536;
            return 0;
        case SCSI_IOCTL_GET_BUS_NUMBER:
            *static_cast<int*>(argument) = hostNumber;
            return 0;
        case SCSI_IOCTL_GET_IDLUN:
            // Target, LUN, channel and host packed into one int, then a unique id.
            static_cast<int*>(argument)[0] = hostNumber << 24;
            static_cast<int*>(argument)[1] = hostNumber;
            return 0;
        case CDROM_DRIVE_STATUS:
            return drive_->trayStatus();
        default:
            errno = ENOTTY; // HDIO_GET_IDENTITY and the like: no ATA disk here
            return -1;
        }
    }

private:
    static constexpr int hostNumber = 9;

    Emulation() {
        const InsideDrive inside;
        const char* id = std::getenv(emulatedDriveVariable);
        std::string problem;
        config_ = id != nullptr ? DriveConfig::parse(id, problem) : std::nullopt;
        if (!config_ || config_->backingFileProblem()) {
            config_.reset();
            return;
        }
        path_ = config_->path;
        const int created = realOpen(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (created < 0) {
            config_.reset();
            return;
        }
        ::close(created);
        char canonical[PATH_MAX];
        if (::realpath(path_.c_str(), canonical) != nullptr) {
            canonicalPath_ = canonical;
        }
        if (const group* cdrom = ::getgrnam("cdrom")) {
            cdromGroup_ = cdrom->gr_gid;
        }
    }

    int command(sg_io_hdr_t& header) {
        if (header.interface_id != 'S' || header.iovec_count != 0 || header.cmdp == nullptr) {
            errno = EINVAL;
            return -1;
        }
        const auto start = std::chrono::steady_clock::now();
        auto* data = static_cast<std::uint8_t*>(header.dxferp);
        const bool toHost = header.dxfer_direction == SG_DXFER_FROM_DEV;
        const bool fromHost = header.dxfer_direction == SG_DXFER_TO_DEV;
        const Reply reply =
            drive_->execute(std::span<const std::uint8_t>(header.cmdp, header.cmd_len),
                            std::span<std::uint8_t>(data, toHost ? header.dxfer_len : 0),
                            std::span<const std::uint8_t>(data, fromHost ? header.dxfer_len : 0));
        if (reply.driveGone) {
            errno = ENODEV;
            return -1;
        }
        header.host_status = 0;
        header.msg_status = 0;
        header.resid = toHost ? static_cast<int>(header.dxfer_len - reply.transferred) : 0;
        header.duration =
            static_cast<unsigned>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now() - start)
                                      .count());
        header.sb_len_wr = 0;
        header.status = header.masked_status = header.driver_status = 0;
        header.info = 0;
        if (reply.sense) {
            const Bytes sense = reply.sense->fixedFormat();
            header.sb_len_wr =
                static_cast<unsigned char>(std::min<std::size_t>(header.mx_sb_len, sense.size()));
            std::memcpy(header.sbp, sense.data(), header.sb_len_wr);
            header.status = 0x02; // CHECK CONDITION
            header.masked_status = CHECK_CONDITION;
            header.driver_status = driverSense;
            header.info = SG_INFO_CHECK;
        }
        return 0;
    }

    std::mutex mutex_;
    std::optional<DriveConfig> config_;
    std::string path_;
    std::string canonicalPath_;
    std::unique_ptr<Drive> drive_;
    std::set<int> descriptors_;
    std::optional<gid_t> cdromGroup_;
};

__attribute__((destructor)) void shutDownEmulation() {
    if (!insideDrive) {
        Emulation::instance().shutDown();
    }
}

Emulation* emulationFor(const char* path) {
    if (insideDrive) {
        return nullptr;
    }
    Emulation& emulation = Emulation::instance();
    return emulation.handles(path) ? &emulation : nullptr;
}

// stat or lstat, as the C library does them, unless the drive left the system.
template <bool followLinks> int statPath(const char* path, struct stat* status) {
    static const auto function = real<StatFunction>(followLinks ? "stat" : "lstat");
    Emulation* emulation = emulationFor(path);
    if (emulation != nullptr && !emulation->present()) {
        errno = ENOENT;
        return -1;
    }
    const int result = function(path, status);
    if (result == 0 && emulation != nullptr && emulation->denied()) {
        emulation->describeDenied(*status);
    }
    return result;
}

// Whether the program may read or write the drive: not when it is denied.
bool accessDenied(const char* path, int mode) {
    const Emulation* emulation = emulationFor(path);
    if (emulation == nullptr || !emulation->denied() || mode == F_OK) {
        return false;
    }
    errno = EACCES;
    return true;
}

int openPath(const char* path, int flags, mode_t mode) {
    if (Emulation* emulation = emulationFor(path)) {
        return emulation->open(path, flags);
    }
    return realOpen(path, flags, mode);
}

mode_t modeArgument(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

} // namespace

extern "C" {

// Whether this program runs with the emulator, and the device it emulates.
__attribute__((visibility("default"))) const char* emberlin_emulated_device() {
    const std::string& path = Emulation::instance().path();
    return path.empty() ? nullptr : path.c_str();
}

__attribute__((visibility("default"))) int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return openPath(path, flags, mode);
}

__attribute__((visibility("default"))) int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return openPath(path, flags | O_LARGEFILE, mode);
}

__attribute__((visibility("default"))) int __open_2(const char* path, int flags) {
    return openPath(path, flags, 0);
}

__attribute__((visibility("default"))) int __open64_2(const char* path, int flags) {
    return openPath(path, flags | O_LARGEFILE, 0);
}

__attribute__((visibility("default"))) int close(int fd) {
    if (!insideDrive && Emulation::instance().handles(fd)) {
        Emulation::instance().forget(fd);
    }
    static const auto function = real<CloseFunction>("close");
    return function(fd);
}

__attribute__((visibility("default"))) int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (!insideDrive && Emulation::instance().handles(fd)) {
        return Emulation::instance().control(request, argument);
    }
    static const auto function = real<IoctlFunction>("ioctl");
    return function(fd, request, argument);
}

__attribute__((visibility("default"))) int access(const char* path, int mode) noexcept {
    static const auto function = real<AccessFunction>("access");
    return accessDenied(path, mode) ? -1 : function(path, mode);
}

__attribute__((visibility("default"))) int euidaccess(const char* path, int mode) noexcept {
    static const auto function = real<AccessFunction>("euidaccess");
    return accessDenied(path, mode) ? -1 : function(path, mode);
}

__attribute__((visibility("default"))) int eaccess(const char* path, int mode) noexcept {
    static const auto function = real<AccessFunction>("eaccess");
    return accessDenied(path, mode) ? -1 : function(path, mode);
}

__attribute__((visibility("default"))) int faccessat(int directory, const char* path, int mode,
                                                     int flags) noexcept {
    static const auto function = real<AccessAtFunction>("faccessat");
    return accessDenied(path, mode) ? -1 : function(directory, path, mode, flags);
}

__attribute__((visibility("default"))) int stat(const char* path, struct stat* status) noexcept {
    return statPath<true>(path, status);
}

__attribute__((visibility("default"))) int stat64(const char* path,
                                                  struct stat64* status) noexcept {
    return statPath<true>(path, reinterpret_cast<struct stat*>(status));
}

__attribute__((visibility("default"))) int lstat(const char* path, struct stat* status) noexcept {
    return statPath<false>(path, status);
}

__attribute__((visibility("default"))) int lstat64(const char* path,
                                                   struct stat64* status) noexcept {
    return statPath<false>(path, reinterpret_cast<struct stat*>(status));
}

// The C library's versioned stat entry points of before glibc 2.33, which
// programs built then still call; on x86-64 their struct is struct stat.
__attribute__((visibility("default"))) int __xstat(int, const char* path, struct stat* status) {
    return statPath<true>(path, status);
}

__attribute__((visibility("default"))) int __xstat64(int, const char* path, struct stat* status) {
    return statPath<true>(path, status);
}

__attribute__((visibility("default"))) int __lxstat(int, const char* path, struct stat* status) {
    return statPath<false>(path, status);
}

__attribute__((visibility("default"))) int __lxstat64(int, const char* path, struct stat* status) {
    return statPath<false>(path, status);
}

} // extern "C"
