#include "LaunchOnTerminal.h"

#include "PtyOpener.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace emberlin;

namespace {

constexpr int GenerousBoundMs = 30000;

std::string readUntilLineEnd(int fd) {
    std::string text;
    while (text.find('\n') == std::string::npos) {
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, GenerousBoundMs) <= 0)
            break;
        char buffer[256];
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EAGAIN)
            continue;
        if (count <= 0)
            break;
        text.append(buffer, static_cast<size_t>(count));
    }
    return text;
}

// In a forked child started without standard input, output and error, so the
// pair and the exec report take descriptors 0 to 2. The exit code tells what
// went wrong.
[[noreturn]] void launchWithoutStandardDescriptors() {
    ::close(STDIN_FILENO);
    ::close(STDOUT_FILENO);
    ::close(STDERR_FILENO);
    FileDescriptor master;
    FileDescriptor slave;
    if (!SystemPtyOpener().openRawPair(master, slave) || master.get() > STDERR_FILENO)
        ::_exit(10);

    QString error;
    const pid_t missing =
        launchOnTerminal({"/nonexistent/program"}, master.get(), slave.get(), error);
    if (missing != -1 || error != QString::fromLocal8Bit(std::strerror(ENOENT)))
        ::_exit(11);

    const pid_t pid =
        launchOnTerminal({"/bin/sh", "-c", "echo hello"}, master.get(), slave.get(), error);
    if (pid < 0)
        ::_exit(12);
    if (readUntilLineEnd(master.get()) != "hello\n")
        ::_exit(13);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        ::_exit(14);
    ::_exit(0);
}

TEST(LaunchOnTerminal, WorksInAParentStartedWithoutStandardDescriptors) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        launchWithoutStandardDescriptors();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
