// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/SignalAbort.h"

#include <atomic>

namespace disctool {

namespace {

// A signal handler can reach nothing else.
std::atomic<int> firstSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

void remember(int signal) {
    int none = 0;
    firstSignal.compare_exchange_strong(none, signal);
}

} // namespace

SignalAbort::SignalAbort() {
    firstSignal = 0;
    struct sigaction action {};
    action.sa_handler = remember;
    sigemptyset(&action.sa_mask);
    // Restart interrupted calls: libburn's own threads are not ready for EINTR.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) {
        ::sigaction(handled[i], &action, &previous_[i]);
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, &previousPipe_);
}

SignalAbort::~SignalAbort() {
    for (int i = 0; i < 3; ++i) {
        ::sigaction(handled[i], &previous_[i], nullptr);
    }
    ::sigaction(SIGPIPE, &previousPipe_, nullptr);
}

int SignalAbort::requested() const {
    return firstSignal.load();
}

} // namespace disctool
