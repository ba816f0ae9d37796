#pragma once

#include "posix/FileDescriptor.h"

namespace emberlin {

// Opens a pseudo-terminal pair in raw mode. A seam, so tests can make it fail.
class PtyOpener {
public:
    virtual ~PtyOpener() = default;
    // On success both descriptors own the new pair (close-on-exec, the master
    // non-blocking, raw mode on both sides, a sensible window size) and the
    // result is true. On failure both are left empty and the result is false.
    virtual bool openRawPair(posix::FileDescriptor& master, posix::FileDescriptor& slave) = 0;
};

// openpty, tcgetattr on the master, input/output/local modes cleared, the same
// record written to master and then slave with TCSANOW.
class SystemPtyOpener final : public PtyOpener {
public:
    bool openRawPair(posix::FileDescriptor& master, posix::FileDescriptor& slave) override;
};

} // namespace emberlin
