// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/DeviceAccess.h"

#include "disctool/OutsideText.h"
#include "posix/FileDescriptor.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace disctool {

namespace {

bool isPermissionError(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// The group's name, and whether the user is listed as one of its members.
std::pair<std::string, bool> groupOf(gid_t gid, const std::string& user) {
    std::array<char, 16384> buffer{};
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return {std::to_string(gid), false};
    }
    bool listed = false;
    for (char** member = found->gr_mem; member != nullptr && *member != nullptr; ++member) {
        listed = listed || user == *member;
    }
    return {found->gr_name, listed};
}

std::string loginName() {
    std::array<char, 4096> buffer{};
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr) {
        return found->pw_name;
    }
    return "YOUR-LOGIN-NAME";
}

} // namespace

DeviceAccess::DeviceAccess(MountTable mounts, Unmounter unmounter)
    : mounts_(std::move(mounts))
    , unmounter_(std::move(unmounter)) {}

std::string DeviceAccess::permissionAdvice(const std::string& device) {
    struct stat status {};
    if (::stat(device.c_str(), &status) == 0 && status.st_gid != 0 &&
        (status.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP)) {
        const std::string user = loginName();
        const auto [group, listed] = groupOf(status.st_gid, user);
        // Membership takes effect with the next login: a user added meanwhile
        // only needs to log in again.
        if (listed) {
            return "You may not use " + outside::quoted(device, "the drive") +
                   " yet: you were added to the group \"" + group +
                   "\", which may use it, after you logged in. Log out and in again.";
        }
        return "You may not use " + outside::quoted(device, "the drive") +
               ": it belongs to the group \"" + group +
               "\". Add yourself to it (sudo usermod -aG " + group + " " + user +
               "), then log out and in again.";
    }
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
    return "You may not use " + outside::quoted(device, "the drive") + " (mode " + mode +
           "). Ask the administrator of this computer for read and write access to it.";
}

DeviceAccess::Result DeviceAccess::check(const std::string& device) const {
    struct stat status {};
    if (::stat(device.c_str(), &status) != 0) {
        if (isPermissionError(errno)) {
            return {Verdict::NoPermission, permissionAdvice(device)};
        }
        return {Verdict::Missing, device + ": " + std::strerror(errno)};
    }
    if (::faccessat(AT_FDCWD, device.c_str(), R_OK | W_OK, AT_EACCESS) != 0 &&
        isPermissionError(errno)) {
        return {Verdict::NoPermission, permissionAdvice(device)};
    }
    std::vector<std::string> mountPoints = mounts_.mountPointsOf(device);
    if (!mountPoints.empty() && unmounter_.unmount(device)) {
        mountPoints = mounts_.mountPointsOf(device);
    }
    if (!mountPoints.empty()) {
        return {Verdict::Busy, device + " holds a disc mounted at " + mountPoints.front()};
    }
    // O_EXCL on a device node fails with EBUSY while another program holds it
    // the same way (or while the kernel has it mounted).
    posix::FileDescriptor probe(::open(device.c_str(), O_RDWR | O_NONBLOCK | O_EXCL | O_CLOEXEC));
    if (!probe.isValid()) {
        if (errno == EBUSY) {
            return {Verdict::Busy, device + " is in use"};
        }
        if (isPermissionError(errno)) {
            return {Verdict::NoPermission, permissionAdvice(device)};
        }
    }
    // libburn also locks what it opens: a program that opened the drive
    // without O_EXCL (as libburn does an emulated one) still holds that lock.
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (probe.isValid() && ::fcntl(probe.get(), F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK) {
        return {Verdict::Busy, device + " is in use by process " + std::to_string(lock.l_pid)};
    }
    return {Verdict::Ready, {}};
}

} // namespace disctool
