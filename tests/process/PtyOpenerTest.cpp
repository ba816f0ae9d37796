#include "process/PtyOpener.h"

#include "tests/support/TestSupport.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

using namespace emberlin;

namespace {

TEST(SystemPtyOpener, SetsRawModeKeepingTheMastersOtherAttributes) {
    // What a freshly opened master reports, before any change.
    int referenceMaster = -1;
    int referenceSlave = -1;
    ASSERT_EQ(::openpty(&referenceMaster, &referenceSlave, nullptr, nullptr, nullptr), 0);
    posix::FileDescriptor referenceMasterOwner(referenceMaster);
    posix::FileDescriptor referenceSlaveOwner(referenceSlave);
    termios fresh{};
    ASSERT_EQ(::tcgetattr(referenceMaster, &fresh), 0);

    posix::FileDescriptor master;
    posix::FileDescriptor slave;
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

// In a forked child without a descriptor left: the opener fails and hands out
// nothing. The exit code tells what went wrong. The sanitizer's type check
// needs a descriptor of its own, so there is none here, and the opener is
// never destroyed (_exit).
[[noreturn]] __attribute__((no_sanitize("vptr"))) void openWithoutDescriptors() {
    SystemPtyOpener opener;
    rlimit limits{};
    ::getrlimit(RLIMIT_NOFILE, &limits);
    limits.rlim_cur = std::min<rlim_t>(512, limits.rlim_max);
    if (::setrlimit(RLIMIT_NOFILE, &limits) != 0)
        ::_exit(10);
    while (::open("/dev/null", O_RDONLY) >= 0) {
    }
    posix::FileDescriptor master;
    posix::FileDescriptor slave;
    ::_exit(opener.openRawPair(master, slave) ? 11 : master || slave ? 12 : 0);
}

TEST(SystemPtyOpener, FailsHandingOutNothingWhenDescriptorsRunOut) {
    EXPECT_EQ(exitStatusInChild(openWithoutDescriptors), 0);
}

} // namespace
