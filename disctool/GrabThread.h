// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/Drive.h"

#include <functional>
#include <future>
#include <optional>
#include <thread>

namespace disctool {

// Takes a drive on a thread of its own: libburn keeps at it for as long as
// the drive says it is becoming ready (minutes), deaf to signals, and the
// tool must still answer a cancel meanwhile. The thread blocks the signals
// that cancel a burn, which the caller's thread notices.
class GrabThread {
public:
    GrabThread() = default;
    ~GrabThread();
    GrabThread(const GrabThread&) = delete;
    GrabThread& operator=(const GrabThread&) = delete;

    // Runs `grab`; a grab still running from before is waited for first.
    void start(std::function<GrabResult()> grab);
    // The result, once the grab ended.
    std::optional<GrabResult> result();
    bool running() const;
    // Waits for a running grab to end.
    void wait();

private:
    std::thread thread_;
    std::future<GrabResult> future_;
    std::optional<GrabResult> result_;
};

} // namespace disctool
