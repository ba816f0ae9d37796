#include "PtyOpener.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace emberlin;

namespace {

constexpr int GenerousBoundMs = 30000;

// Reads exactly `size` bytes, waiting for each to arrive.
std::string readExactly(int fd, size_t size) {
    std::string result;
    while (result.size() < size) {
        pollfd readable{fd, POLLIN, 0};
        if (::poll(&readable, 1, GenerousBoundMs) <= 0)
            break;
        char buffer[256];
        const ssize_t count = ::read(fd, buffer, std::min(sizeof buffer, size - result.size()));
        if (count <= 0)
            break;
        result.append(buffer, static_cast<size_t>(count));
    }
    return result;
}

void writeAll(int fd, const std::string& bytes) {
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

TEST(SystemPtyOpener, SetsRawModeKeepingTheMastersOtherAttributes) {
    // What a freshly opened master reports, before any change.
    int referenceMaster = -1;
    int referenceSlave = -1;
    ASSERT_EQ(::openpty(&referenceMaster, &referenceSlave, nullptr, nullptr, nullptr), 0);
    FileDescriptor referenceMasterOwner(referenceMaster);
    FileDescriptor referenceSlaveOwner(referenceSlave);
    termios fresh{};
    ASSERT_EQ(::tcgetattr(referenceMaster, &fresh), 0);

    FileDescriptor master;
    FileDescriptor slave;
    ASSERT_TRUE(SystemPtyOpener().openRawPair(master, slave));
    for (const int fd : {master.get(), slave.get()}) {
        SCOPED_TRACE(fd == master.get() ? "master" : "slave");
        termios attributes{};
        ASSERT_EQ(::tcgetattr(fd, &attributes), 0);
        EXPECT_EQ(attributes.c_iflag, 0u);
        EXPECT_EQ(attributes.c_oflag, 0u);
        EXPECT_EQ(attributes.c_lflag, 0u);
        EXPECT_EQ(attributes.c_cflag, fresh.c_cflag);
        EXPECT_EQ(std::memcmp(attributes.c_cc, fresh.c_cc, sizeof fresh.c_cc), 0);
        EXPECT_EQ(::cfgetispeed(&attributes), ::cfgetispeed(&fresh));
        EXPECT_EQ(::cfgetospeed(&attributes), ::cfgetospeed(&fresh));

        winsize size{};
        ASSERT_EQ(::ioctl(fd, TIOCGWINSZ, &size), 0);
        EXPECT_EQ(size.ws_col, 80);
        EXPECT_EQ(size.ws_row, 24);
        EXPECT_TRUE(::fcntl(fd, F_GETFD) & FD_CLOEXEC);
    }
    EXPECT_TRUE(::fcntl(master.get(), F_GETFL) & O_NONBLOCK);
}

TEST(SystemPtyOpener, PassesBytesUnchangedBothWaysWithoutEcho) {
    FileDescriptor master;
    FileDescriptor slave;
    ASSERT_TRUE(SystemPtyOpener().openRawPair(master, slave));

    const std::string output = "PERCENT:1.5\nline\r\n\t\x03\x1a\x7f end\n";
    writeAll(slave.get(), output);
    EXPECT_EQ(readExactly(master.get(), output.size()), output);

    // Carriage return, interrupt, suspend, erase and end-of-file characters
    // reach the child as they are.
    const std::string input = "yes\r\x03\x1a\x7f\x04\n";
    writeAll(master.get(), input);
    EXPECT_EQ(readExactly(slave.get(), input.size()), input);
    char echoed;
    EXPECT_EQ(::read(master.get(), &echoed, 1), -1);
    EXPECT_EQ(errno, EAGAIN);
}

// Probes every descriptor number below the limit, opening none itself.
int countOpenBelow(int limit) {
    int count = 0;
    for (int fd = 0; fd < limit; ++fd)
        count += ::fcntl(fd, F_GETFD) >= 0 ? 1 : 0;
    return count;
}

// In a forked child: leaves `free` descriptor slots, expects the opener to fail
// and to leave none of them taken. The exit code tells what went wrong.
// The sanitizer's type check needs a descriptor of its own, and none are left:
// no check here, and the opener is never destroyed (_exit).
[[noreturn]] __attribute__((no_sanitize("vptr"))) void openWithFreeSlots(int free) {
    SystemPtyOpener opener;
    constexpr rlim_t Limit = 512;
    rlimit limits{};
    ::getrlimit(RLIMIT_NOFILE, &limits);
    limits.rlim_cur = std::min(Limit, limits.rlim_max);
    if (::setrlimit(RLIMIT_NOFILE, &limits) != 0)
        ::_exit(10);
    int filler = -1;
    while ((filler = ::open("/dev/null", O_RDONLY)) >= 0) {
    }
    if (errno != EMFILE)
        ::_exit(11);
    const int slots = static_cast<int>(limits.rlim_cur);
    for (int fd = slots - 1, closed = 0; closed < free && fd >= 0; --fd)
        closed += ::close(fd) == 0 ? 1 : 0;

    const int before = countOpenBelow(slots);
    FileDescriptor master;
    FileDescriptor slave;
    if (opener.openRawPair(master, slave))
        ::_exit(12);
    if (master || slave)
        ::_exit(13);
    if (countOpenBelow(slots) != before)
        ::_exit(14);
    ::_exit(0);
}

TEST(SystemPtyOpener, FailsLeavingNothingOpenWhenDescriptorsRunOut) {
    for (const int free : {0, 1}) {
        SCOPED_TRACE(free);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            openWithFreeSlots(free);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
}

} // namespace
