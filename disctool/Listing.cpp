// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/Listing.h"

#include "protocol/ToolProtocol.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <unistd.h>
#include <utility>

namespace disctool {

namespace {

std::string trimmed(std::string text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r';
    };
    while (!text.empty() && blank(text.back())) {
        text.pop_back();
    }
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    return std::string(first, text.end());
}

std::string readAttribute(const std::string& path) {
    std::ifstream file(path);
    std::string value;
    std::getline(file, value);
    return trimmed(value);
}

// sr0, sr1, ... sr10 in the kernel's order.
std::vector<std::pair<int, std::string>> cdromNames(const std::string& directory) {
    std::vector<std::pair<int, std::string>> names;
    const auto close = [](DIR* open) {
        ::closedir(open);
    };
    const std::unique_ptr<DIR, decltype(close)> dir(::opendir(directory.c_str()), close);
    if (!dir) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.size() > 2 && name.starts_with("sr") &&
            std::all_of(name.begin() + 2, name.end(),
                        [](char c) { return c >= '0' && c <= '9'; })) {
            names.emplace_back(std::atoi(name.c_str() + 2), name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string resolved(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : path;
}

} // namespace

Listing::Listing(std::string sysfsRoot, std::string deviceRoot)
    : sysfsRoot_(std::move(sysfsRoot))
    , deviceRoot_(std::move(deviceRoot)) {}

std::string Listing::transportOf(const std::string& sysfsDevicePath) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> buses{{
        {"/usb", "USB"},
        {"/firewire", "FireWire"},
        {"/fw", "FireWire"},
        {"/ata", "SATA"},
        {"/virtio", "VirtIO"},
    }};
    for (const auto& [component, transport] : buses) {
        if (sysfsDevicePath.find(component) != std::string::npos) {
            return std::string(transport);
        }
    }
    return "SCSI";
}

std::vector<ListedBurner> Listing::opticalDrives() const {
    std::vector<ListedBurner> drives;
    const std::string classDirectory = sysfsRoot_ + "/class/block";
    for (const auto& [number, name] : cdromNames(classDirectory)) {
        const std::string entry = classDirectory + "/" + name;
        const std::string type = readAttribute(entry + "/device/type");
        // 5 is a CD/DVD device, 4 a write-once one; anything else is not ours.
        if (!type.empty() && type != "5" && type != "4") {
            continue;
        }
        const std::string device = deviceRoot_ + "/" + name;
        if (::access(device.c_str(), F_OK) != 0) {
            continue;
        }
        const std::string vendor = readAttribute(entry + "/device/vendor");
        const std::string model = readAttribute(entry + "/device/model");
        std::string title = trimmed(vendor + " " + model);
        // The names come from the drive's firmware; one that says there are
        // no drives would empty the window's burner menu.
        if (title.empty() || title.find(toolprotocol::noDrivesPresent) != std::string::npos) {
            title = name;
        }
        if (::faccessat(AT_FDCWD, device.c_str(), R_OK | W_OK, AT_EACCESS) != 0 &&
            (errno == EACCES || errno == EPERM || errno == EROFS)) {
            title += " (no permission)";
        }
        const std::string path = resolved(entry);
        const std::size_t devices = path.find("/devices/");
        const std::string busPath = devices == std::string::npos ? path : path.substr(devices);
        drives.push_back({title + " via " + transportOf(busPath), device});
    }
    return drives;
}

} // namespace disctool
