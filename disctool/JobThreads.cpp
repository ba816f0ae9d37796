// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/JobThreads.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <thread>

namespace disctool {

JobThreads::JobThreads()
    : before_(current()) {}

std::set<std::string> JobThreads::current() {
    std::set<std::string> threads;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", error)) {
        threads.insert(entry.path().filename().string());
    }
    return threads;
}

bool JobThreads::awaitEnd(std::chrono::milliseconds most) const {
    const auto deadline = std::chrono::steady_clock::now() + most;
    for (;;) {
        const std::set<std::string> now = current();
        const bool ended = std::includes(before_.begin(), before_.end(), now.begin(), now.end());
        if (ended || std::chrono::steady_clock::now() >= deadline) {
            return ended;
        }
        // Threads end without anything to wait on: look again shortly.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace disctool
