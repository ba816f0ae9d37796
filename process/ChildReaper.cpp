#include "process/ChildReaper.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <sys/wait.h>
#if defined(__APPLE__)
#include <sys/event.h>
#elif defined(__linux__)
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace emberlin {

namespace {

constexpr int PollIntervalMs = 100;

// A descriptor that becomes readable when the process exits.
posix::FileDescriptor openExitWatch(pid_t pid) {
#if defined(__APPLE__)
    posix::FileDescriptor queue(::kqueue());
    struct kevent change;
    EV_SET(&change, pid, EVFILT_PROC, EV_ADD | EV_ONESHOT, NOTE_EXIT, 0, nullptr);
    if (!queue || ::kevent(queue.get(), &change, 1, nullptr, 0, nullptr) != 0)
        return {};
    return queue;
#elif defined(__linux__) && defined(SYS_pidfd_open)
    return posix::FileDescriptor(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
#else
    (void)pid;
    return {};
#endif
}

} // namespace

ChildReaper* ChildReaper::watch(pid_t pid) {
    auto* reaper = new ChildReaper(pid);
    reaper->setParent(QCoreApplication::instance());
    return reaper;
}

ChildReaper::ChildReaper(pid_t pid)
    : pid_(pid)
    , exitWatch_(openExitWatch(pid)) {
    if (exitWatch_) {
        exitNotifier_ = new QSocketNotifier(exitWatch_.get(), QSocketNotifier::Read, this);
        connect(exitNotifier_, &QSocketNotifier::activated, this, &ChildReaper::reapIfExited);
    } else {
        // Old kernels, or no descriptor left: ask now and then instead.
        pollTimer_ = new QTimer(this);
        connect(pollTimer_, &QTimer::timeout, this, &ChildReaper::reapIfExited);
        pollTimer_->start(PollIntervalMs);
    }
}

void ChildReaper::terminate() {
    if (pid_ > 0)
        ::kill(pid_, SIGTERM);
}

void ChildReaper::reapIfExited() {
    if (pid_ <= 0)
        return;
    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(pid_, &status, WNOHANG);
    } while (reaped < 0 && errno == EINTR);
    if (reaped == 0)
        return;

    if (exitNotifier_)
        exitNotifier_->setEnabled(false);
    if (pollTimer_)
        pollTimer_->stop();
    exitWatch_.reset();
    pid_ = -1;
    // A failed wait means the child is no longer ours to wait for.
    if (reaped > 0)
        emit exited(status);
    deleteLater();
}

} // namespace emberlin
