// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/VirtualBurners.h"

#include "emulator/EmulatorLaunch.h"

#include <string>

namespace disctool {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r';
    };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string nameOf(const std::string& id, int number) {
    const std::string counted = " burner " + std::to_string(number);
    if (emulator::launch::namesEmulatedDrive(id)) {
        if (const std::optional<std::string> problem = emulator::launch::problemWith(id)) {
            return "Simulated" + counted + " (unusable: " + *problem + ") via simulation";
        }
        // Marked as a real drive the user may not open is.
        const std::string denied = emulator::launch::deniesAccess(id) ? " (no permission)" : "";
        return "Simulated " +
               std::string(media::factsOf(*emulator::launch::firstMedium(id)).displayName) +
               counted + denied + " via simulation";
    }
    if (id.starts_with("stdio:")) {
        return "Image-file" + counted + " via libburn stdio";
    }
    return "Virtual" + counted + " (unusable: not a sim: or stdio: id) via configuration";
}

} // namespace

std::vector<ListedBurner> virtualBurners(std::string_view configured) {
    std::vector<ListedBurner> burners;
    int number = 0;
    while (!configured.empty()) {
        const std::size_t end = configured.find_first_of(";\n");
        const std::string id(trimmed(configured.substr(0, end)));
        configured.remove_prefix(end == std::string_view::npos ? configured.size() : end + 1);
        if (id.empty()) {
            continue;
        }
        burners.push_back({nameOf(id, ++number), id});
    }
    return burners;
}

} // namespace disctool
