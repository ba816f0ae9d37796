#pragma once

#include "posix/FileDescriptor.h"

#include <QObject>
#include <sys/types.h>

class QSocketNotifier;
class QTimer;

namespace emberlin {

// Reaps one child as soon as it has exited, without blocking and without a
// SIGCHLD handler, so it never stays a zombie. It outlives whoever started the
// child and deletes itself once the child is reaped. It belongs to the
// application object: a child still running when the application ends is left
// to finish on its own.
class ChildReaper final : public QObject {
    Q_OBJECT

public:
    static ChildReaper* watch(pid_t pid);

    // SIGTERM, unless the child has been reaped already (its pid may be reused).
    void terminate();

signals:
    // After the child has been reaped; waitStatus as waitpid() reports it.
    void exited(int waitStatus);

private:
    explicit ChildReaper(pid_t pid);
    void reapIfExited();

    pid_t pid_;
    posix::FileDescriptor exitWatch_; // readable once the child has exited
    QSocketNotifier* exitNotifier_ = nullptr;
    QTimer* pollTimer_ = nullptr; // only where no exit descriptor could be had
};

} // namespace emberlin
