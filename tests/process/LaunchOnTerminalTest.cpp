#include "process/LaunchOnTerminal.h"

#include "process/PtyOpener.h"
#include "tests/support/TestSupport.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace emberlin;

namespace {

// In a forked child started without standard input, output and error, so the
// pair and the exec report take descriptors 0 to 2. The exit code tells what
// went wrong.
[[noreturn]] void launchWithoutStandardDescriptors() {
    ::close(STDIN_FILENO);
    ::close(STDOUT_FILENO);
    ::close(STDERR_FILENO);
    posix::FileDescriptor master;
    posix::FileDescriptor slave;
    if (!SystemPtyOpener().openRawPair(master, slave) || master.get() > STDERR_FILENO)
        ::_exit(10);

    QString error;
    const pid_t missing =
        launchOnTerminal({"/nonexistent/program"}, master.get(), slave.get(), error);
    if (missing != -1 || error != QString::fromLocal8Bit(std::strerror(ENOENT)))
        ::_exit(11);

    const pid_t pid =
        launchOnTerminal({"/bin/sh", "-c", "echo hello"}, master.get(), slave.get(), error);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status))
        ::_exit(12);
    // Written before the child ended, so all there.
    char line[16] = {};
    ::_exit(::read(master.get(), line, sizeof line) == 6 && std::strcmp(line, "hello\n") == 0 ? 0
                                                                                              : 13);
}

TEST(LaunchOnTerminal, WorksInAParentStartedWithoutStandardDescriptors) {
    EXPECT_EQ(exitStatusInChild(launchWithoutStandardDescriptors), 0);
}

} // namespace
