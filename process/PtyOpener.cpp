#include "process/PtyOpener.h"

#include "process/DescriptorFlags.h"

#include <sys/ioctl.h>
#include <termios.h>
#if defined(__APPLE__)
#include <util.h>
#else
#include <pty.h>
#endif

namespace emberlin {

bool SystemPtyOpener::openRawPair(posix::FileDescriptor& master, posix::FileDescriptor& slave) {
    master.reset();
    slave.reset();

    int masterFd = -1;
    int slaveFd = -1;
    if (::openpty(&masterFd, &slaveFd, nullptr, nullptr, nullptr) != 0)
        return false;
    posix::FileDescriptor newMaster(masterFd);
    posix::FileDescriptor newSlave(slaveFd);

    // Raw: no line-end translation, no echo, no line editing, no signal
    // characters. Control modes, control characters and speeds stay as the
    // fresh master reports them.
    termios attributes{};
    if (::tcgetattr(masterFd, &attributes) != 0)
        return false;
    attributes.c_iflag = 0;
    attributes.c_oflag = 0;
    attributes.c_lflag = 0;
    if (::tcsetattr(masterFd, TCSANOW, &attributes) != 0 ||
        ::tcsetattr(slaveFd, TCSANOW, &attributes) != 0)
        return false;

    // A fresh pair has a 0x0 window, which confuses programs that lay out text.
    const winsize size{24, 80, 0, 0};
    ::ioctl(masterFd, TIOCSWINSZ, &size);

    // Only the child's own copies (dup2'ed onto 0/1/2) may survive an exec.
    if (!setCloseOnExec(masterFd) || !setCloseOnExec(slaveFd) || !setNonBlocking(masterFd))
        return false;

    master = std::move(newMaster);
    slave = std::move(newSlave);
    return true;
}

} // namespace emberlin
