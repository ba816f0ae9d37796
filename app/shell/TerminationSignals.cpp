#include "app/shell/TerminationSignals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace emberlin {

namespace {

constexpr std::array handledSignals{SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but a global: the write end of the pipe.
volatile sig_atomic_t pipeWriteEnd = -1;
std::array<struct sigaction, handledSignals.size()> previousActions{};

// Async-signal-safe: one byte naming the signal, errno left as it was.
void onSignal(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(pipeWriteEnd, &byte, 1);
    errno = savedErrno;
}

// Close-on-exec so the tool does not inherit it, non-blocking so neither the
// handler nor the drain can hang.
void prepare(const posix::FileDescriptor& end) {
    ::fcntl(end.get(), F_SETFD, FD_CLOEXEC);
    ::fcntl(end.get(), F_SETFL, ::fcntl(end.get(), F_GETFL) | O_NONBLOCK);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent) {
    Q_ASSERT(pipeWriteEnd == -1);
    int ends[2];
    // Without a pipe the signals keep their default effect.
    if (::pipe(ends) != 0)
        return;
    readEnd_.reset(ends[0]);
    writeEnd_.reset(ends[1]);
    prepare(readEnd_);
    prepare(writeEnd_);
    pipeWriteEnd = writeEnd_.get();

    notifier_ = new QSocketNotifier(readEnd_.get(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < handledSignals.size(); ++i)
        ::sigaction(handledSignals[i], &action, &previousActions[i]);
}

TerminationSignals::~TerminationSignals() {
    if (!writeEnd_)
        return;
    for (std::size_t i = 0; i < handledSignals.size(); ++i)
        ::sigaction(handledSignals[i], &previousActions[i], nullptr);
    pipeWriteEnd = -1;
}

void TerminationSignals::drain() {
    unsigned char byte = 0;
    while (::read(readEnd_.get(), &byte, 1) == 1)
        emit received(byte);
}

} // namespace emberlin
