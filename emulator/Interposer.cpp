// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded into a program, this answers the calls a program makes on an
// optical drive's device node (open, stat and its variants, access, ioctl, the locks of fcntl) for
// one path: the node of the emulated drive whose device id the environment names. Every other path
// and descriptor goes to the C library untouched. Programs call the old __xstat family, the 64-bit
// names and
// __open_2 as well as the plain names, so every entry point is here.
#undef _FORTIFY_SOURCE
#include "emulator/EmulatedDevice.h"
#include "posix/LockHolder.h"

#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using emulator::EmulatedDevice;

template <typename Function> Function real(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

using OpenFunction = int (*)(const char*, int, ...);
using IoctlFunction = int (*)(int, unsigned long, ...);
using StatFunction = int (*)(const char*, struct stat*);
using FileStatFunction = int (*)(int, struct stat*);
using StatAtFunction = int (*)(int, const char*, struct stat*, int);
using AccessFunction = int (*)(const char*, int);
using AccessAtFunction = int (*)(int, const char*, int, int);
using ControlFunction = int (*)(int, int, ...);

__attribute__((destructor)) void shutDownEmulation() {
    if (!emulator::insideEmulator()) {
        EmulatedDevice::instance().shutDown();
    }
}

EmulatedDevice* deviceAt(const char* path) {
    if (emulator::insideEmulator()) {
        return nullptr;
    }
    EmulatedDevice& device = EmulatedDevice::instance();
    return device.names(path) ? &device : nullptr;
}

EmulatedDevice* deviceOf(int fd) {
    if (emulator::insideEmulator()) {
        return nullptr;
    }
    EmulatedDevice& device = EmulatedDevice::instance();
    return device.owns(fd) ? &device : nullptr;
}

// The status of the node, made from the file's: gone once the drive left the system.
int described(EmulatedDevice* device, int result, struct stat* status) {
    if (device == nullptr || result != 0) {
        return result;
    }
    if (!device->present()) {
        errno = ENOENT;
        return -1;
    }
    device->describe(*status);
    return 0;
}

int statPath(const char* name, const char* path, struct stat* status) {
    static const auto follow = real<StatFunction>("stat");
    static const auto noFollow = real<StatFunction>("lstat");
    const auto function = name[0] == 'l' ? noFollow : follow;
    return described(deviceAt(path), function(path, status), status);
}

int statDescriptor(int fd, struct stat* status) {
    static const auto function = real<FileStatFunction>("fstat");
    return described(deviceOf(fd), function(fd, status), status);
}

int statAt(int directory, const char* path, struct stat* status, int flags) {
    static const auto function = real<StatAtFunction>("fstatat");
    const bool absolute = path != nullptr && path[0] == '/';
    EmulatedDevice* device = (flags & AT_EMPTY_PATH) != 0 && path != nullptr && path[0] == '\0'
                                 ? deviceOf(directory)
                             : absolute || directory == AT_FDCWD ? deviceAt(path)
                                                                 : nullptr;
    return described(device, function(directory, path, status, flags), status);
}

bool refused(const char* path, int mode) {
    const EmulatedDevice* device = deviceAt(path);
    if (device == nullptr || !device->refuses(mode)) {
        return false;
    }
    errno = EACCES;
    return true;
}

int openPath(const char* path, int flags, mode_t mode) {
    if (EmulatedDevice* device = deviceAt(path)) {
        return device->open(path, flags);
    }
    static const auto function = real<OpenFunction>("open");
    return function(path, flags, mode);
}

// libburn locks a drive it opens, after looking whether a program holds a
// lock on it. The emulated drive's node is the user's disc file, which
// another user who may read it can lock too: only the user's own programs
// hold the drive, as the emulator judges a disc at work.
int controlDescriptor(int fd, int command, void* argument) {
    static const auto function = real<ControlFunction>("fcntl");
    const int result = function(fd, command, argument);
    if ((command != F_GETLK && command != F_SETLK) || deviceOf(fd) == nullptr) {
        return result;
    }
    auto* lock = static_cast<struct flock*>(argument);
    if (command == F_GETLK && result == 0 && lock->l_type != F_UNLCK &&
        !posix::runByThisUser(lock->l_pid)) {
        lock->l_type = F_UNLCK;
    }
    if (command == F_SETLK && result != 0 && (errno == EAGAIN || errno == EACCES)) {
        const int refusal = errno;
        struct flock held = *lock;
        if (function(fd, F_GETLK, &held) == 0 && held.l_type != F_UNLCK &&
            !posix::runByThisUser(held.l_pid)) {
            return 0;
        }
        errno = refusal;
    }
    return result;
}

mode_t modeArgument(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

} // namespace

#define EXPORTED extern "C" __attribute__((visibility("default")))

// Whether this program runs with the emulator, and the device it emulates.
EXPORTED const char* emberlin_emulated_device() {
    const std::string& path = EmulatedDevice::instance().path();
    return path.empty() ? nullptr : path.c_str();
}

EXPORTED int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return openPath(path, flags, mode);
}

EXPORTED int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return openPath(path, flags | O_LARGEFILE, mode);
}

EXPORTED int __open_2(const char* path, int flags) {
    return openPath(path, flags, 0);
}

EXPORTED int __open64_2(const char* path, int flags) {
    return openPath(path, flags | O_LARGEFILE, 0);
}

EXPORTED int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (EmulatedDevice* device = deviceOf(fd)) {
        return device->control(request, argument);
    }
    static const auto function = real<IoctlFunction>("ioctl");
    return function(fd, request, argument);
}

EXPORTED int fcntl(int fd, int command, ...) {
    va_list arguments;
    va_start(arguments, command);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    return controlDescriptor(fd, command, argument);
}

EXPORTED int fcntl64(int fd, int command, ...) {
    va_list arguments;
    va_start(arguments, command);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    return controlDescriptor(fd, command, argument);
}

EXPORTED int access(const char* path, int mode) noexcept {
    static const auto function = real<AccessFunction>("access");
    return refused(path, mode) ? -1 : function(path, mode);
}

EXPORTED int euidaccess(const char* path, int mode) noexcept {
    static const auto function = real<AccessFunction>("euidaccess");
    return refused(path, mode) ? -1 : function(path, mode);
}

EXPORTED int eaccess(const char* path, int mode) noexcept {
    static const auto function = real<AccessFunction>("eaccess");
    return refused(path, mode) ? -1 : function(path, mode);
}

EXPORTED int faccessat(int directory, const char* path, int mode, int flags) noexcept {
    static const auto function = real<AccessAtFunction>("faccessat");
    return refused(path, mode) ? -1 : function(directory, path, mode, flags);
}

// On x86-64 struct stat64 is struct stat, and the old versioned entry points
// (__xstat and the like, which programs built before glibc 2.33 call) take
// the same struct after a version number.
EXPORTED int stat(const char* path, struct stat* status) noexcept {
    return statPath("stat", path, status);
}

EXPORTED int stat64(const char* path, struct stat64* status) noexcept {
    return statPath("stat", path, reinterpret_cast<struct stat*>(status));
}

EXPORTED int lstat(const char* path, struct stat* status) noexcept {
    return statPath("lstat", path, status);
}

EXPORTED int lstat64(const char* path, struct stat64* status) noexcept {
    return statPath("lstat", path, reinterpret_cast<struct stat*>(status));
}

EXPORTED int fstat(int fd, struct stat* status) noexcept {
    return statDescriptor(fd, status);
}

EXPORTED int fstat64(int fd, struct stat64* status) noexcept {
    return statDescriptor(fd, reinterpret_cast<struct stat*>(status));
}

EXPORTED int fstatat(int directory, const char* path, struct stat* status, int flags) noexcept {
    return statAt(directory, path, status, flags);
}

EXPORTED int fstatat64(int directory, const char* path, struct stat64* status, int flags) noexcept {
    return statAt(directory, path, reinterpret_cast<struct stat*>(status), flags);
}

EXPORTED int __xstat(int, const char* path, struct stat* status) {
    return statPath("stat", path, status);
}

EXPORTED int __xstat64(int, const char* path, struct stat* status) {
    return statPath("stat", path, status);
}

EXPORTED int __lxstat(int, const char* path, struct stat* status) {
    return statPath("lstat", path, status);
}

EXPORTED int __lxstat64(int, const char* path, struct stat* status) {
    return statPath("lstat", path, status);
}

EXPORTED int __fxstat(int, int fd, struct stat* status) {
    return statDescriptor(fd, status);
}

EXPORTED int __fxstat64(int, int fd, struct stat* status) {
    return statDescriptor(fd, status);
}

EXPORTED int __fxstatat(int, int directory, const char* path, struct stat* status, int flags) {
    return statAt(directory, path, status, flags);
}

EXPORTED int __fxstatat64(int, int directory, const char* path, struct stat* status, int flags) {
    return statAt(directory, path, status, flags);
}
