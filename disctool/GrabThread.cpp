// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/GrabThread.h"

#include <chrono>
#include <csignal>
#include <pthread.h>
#include <utility>

namespace disctool {

GrabThread::~GrabThread() {
    wait();
}

void GrabThread::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void GrabThread::start(std::function<GrabResult()> grab) {
    wait();
    result_.reset();
    std::promise<GrabResult> promise;
    future_ = promise.get_future();
    thread_ = std::thread([grab = std::move(grab), promise = std::move(promise)]() mutable {
        sigset_t cancels;
        sigemptyset(&cancels);
        for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
            sigaddset(&cancels, signal);
        }
        ::pthread_sigmask(SIG_BLOCK, &cancels, nullptr);
        promise.set_value(grab());
    });
}

std::optional<GrabResult> GrabThread::result() {
    if (!result_ && future_.valid() &&
        future_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        wait();
        result_ = future_.get();
    }
    return result_;
}

bool GrabThread::running() const {
    return future_.valid() &&
           future_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

} // namespace disctool
