#pragma once

#include "posix/FileDescriptor.h"
#include "process/ChildReaper.h"
#include "process/OutputSplitter.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <sys/types.h>

class QSocketNotifier;

namespace emberlin {

class TaskWrapperController;

// Runs one child with the slave side of a pseudo-terminal as its standard
// input, output and error, and hands what it writes on the master side to the
// client, piece by piece, on the main thread.
class TaskWrapper final : public QObject {
    Q_OBJECT

public:
    // arguments[0] is the program to launch; the rest are its arguments.
    TaskWrapper(TaskWrapperController& controller, QStringList arguments);
    ~TaskWrapper() override; // stops first

    // Takes ownership of both descriptors. Tells the client processStarted,
    // arms the read, then launches. Returns false when the child could not be
    // launched; launchError() then says why, and the wrapper is stopped.
    bool startProcess(posix::FileDescriptor master, posix::FileDescriptor slave);
    QString launchError() const { return launchError_; }

    // SIGTERM to the child (no waiting: it is reaped when it exits), both
    // descriptors closed, processFinished once. Safe to call any number of times.
    void stopProcess();

    // Writes the text's UTF-8 bytes to the master side, nothing more.
    void sendString(const QString& text);

    // While held, nothing is read or handed on: the output waits in the
    // terminal. Released, it goes on from the event loop where it stopped, the
    // news of the child's exit included.
    void holdOutput(bool hold);

    pid_t processId() const { return childPid_; }
    bool isRunning() const { return childPid_ > 0 && master_.isValid(); }

    // Discarding: stops at once; deletes now, or after the delivery in progress
    // has returned when called from inside this wrapper's own processOutput.
    struct Release {
        void operator()(TaskWrapper* wrapper) const;
    };

private:
    bool launch();
    void readAvailable();
    void pumpOutput();
    void deliver(QByteArrayView bytes);
    void childExited(int waitStatus);
    void writePendingInput();

    TaskWrapperController* controller_; // cleared by the stop
    QStringList arguments_;
    posix::FileDescriptor master_;
    posix::FileDescriptor slave_; // our own copy: the child's exit alone does not end the output
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QByteArray readBuffer_;
    QByteArray pendingInput_;
    OutputSplitter splitter_;
    QPointer<ChildReaper> reaper_;
    std::optional<int> exitStatus_;
    bool exitReported_ = false;
    pid_t childPid_ = -1;
    bool delivering_ = false;
    bool held_ = false;
    bool releaseAfterDelivery_ = false;
    QString launchError_;
};

using TaskWrapperPtr = std::unique_ptr<TaskWrapper, TaskWrapper::Release>;

} // namespace emberlin
