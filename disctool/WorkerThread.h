// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>
#include <pthread.h>
#include <thread>
#include <utility>

namespace disctool {

// A thread that works beside the burn. Signals are for the burn flow, which
// notices them on its own thread.
template <typename Work> std::thread workerThread(Work work) {
    return std::thread([work = std::move(work)]() mutable {
        sigset_t all;
        sigfillset(&all);
        ::pthread_sigmask(SIG_BLOCK, &all, nullptr);
        work();
    });
}

} // namespace disctool
