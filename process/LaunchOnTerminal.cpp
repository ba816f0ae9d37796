#include "process/LaunchOnTerminal.h"

#include "posix/FileDescriptor.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace emberlin {

namespace {

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A pipe whose write end vanishes when the child's exec succeeds.
bool openExecReportPipe(posix::FileDescriptor& readEnd, posix::FileDescriptor& writeEnd) {
    int ends[2];
#if defined(__APPLE__)
    if (::pipe(ends) != 0)
        return false;
    ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(ends[1], F_SETFD, FD_CLOEXEC);
#else
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
#endif
    readEnd.reset(ends[0]);
    writeEnd.reset(ends[1]);
    return true;
}

// Between fork and exec: async-signal-safe calls only.
[[noreturn]] void becomeChild(char* const argv[], int master, int slave, int execReport) {
    ::setsid();
    ::ioctl(slave, TIOCSCTTY, 0);
    // Standard input, output and error are about to be replaced: keep what is
    // still needed clear of them (they may be free in a parent started without).
    ::close(master);
    if (slave <= STDERR_FILENO)
        slave = ::fcntl(slave, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (execReport <= STDERR_FILENO)
        execReport = ::fcntl(execReport, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::dup2(slave, STDIN_FILENO);
    ::dup2(slave, STDOUT_FILENO);
    ::dup2(slave, STDERR_FILENO);
    ::close(slave);

    // Ignored signals would stay ignored across exec (SIGPIPE above all).
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &defaultAction, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);

    ::execv(argv[0], argv);
    const int execError = errno;
    [[maybe_unused]] const ssize_t reported = ::write(execReport, &execError, sizeof execError);
    ::_exit(127);
}

void waitForExit(pid_t pid) {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

pid_t launchOnTerminal(const QStringList& arguments, int master, int slave, QString& error) {
    if (arguments.isEmpty()) {
        error = errorText(EINVAL);
        return -1;
    }
    // Built before the fork: the child may not allocate.
    std::vector<QByteArray> encoded;
    encoded.reserve(arguments.size());
    for (const QString& argument : arguments)
        encoded.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix::FileDescriptor reportRead;
    posix::FileDescriptor reportWrite;
    if (!openExecReportPipe(reportRead, reportWrite)) {
        error = errorText(errno);
        return -1;
    }

    // No handler of ours may run in the child before it has reset them all.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t pid = ::fork();
    if (pid == 0)
        becomeChild(argv.data(), master, slave, reportWrite.get());
    const int forkError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (pid < 0) {
        error = errorText(forkError);
        return -1;
    }

    // End of file here means the exec succeeded; an errno means it did not.
    reportWrite.reset();
    int execError = 0;
    ssize_t count;
    do {
        count = ::read(reportRead.get(), &execError, sizeof execError);
    } while (count < 0 && errno == EINTR);
    if (count == sizeof execError) {
        // The child is already on its way out: _exit follows the report.
        waitForExit(pid);
        error = errorText(execError);
        return -1;
    }
    return pid;
}

} // namespace emberlin
