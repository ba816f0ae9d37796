// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>

namespace disctool {

// Turns SIGTERM, SIGHUP and SIGINT (Emberlin's cancel and quit, a closed
// terminal, Ctrl-C) into a request that the burn flow honours between drive
// commands: a write is cancelled and waited for, an erase runs to its end,
// and the drive is released before the tool exits. SIGPIPE is ignored so
// that a reader going away cannot end the tool mid-command either.
class SignalAbort {
public:
    SignalAbort();
    ~SignalAbort();
    SignalAbort(const SignalAbort&) = delete;
    SignalAbort& operator=(const SignalAbort&) = delete;

    // The first signal received, or 0.
    int requested() const;

private:
    static constexpr int handled[] = {SIGTERM, SIGHUP, SIGINT};
    struct sigaction previous_[3]{};
    struct sigaction previousPipe_ {};
};

} // namespace disctool
