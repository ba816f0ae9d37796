#include "process/TaskWrapper.h"

#include "process/DescriptorFlags.h"
#include "process/LaunchOnTerminal.h"
#include "process/TaskWrapperController.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace emberlin {

namespace {

constexpr qsizetype ReadChunkSize = 64 * 1024;

ssize_t readRetrying(int fd, char* buffer, qsizetype size) {
    ssize_t count;
    do {
        count = ::read(fd, buffer, static_cast<size_t>(size));
    } while (count < 0 && errno == EINTR);
    return count;
}

} // namespace

TaskWrapper::TaskWrapper(TaskWrapperController& controller, QStringList arguments)
    : controller_(&controller)
    , arguments_(std::move(arguments)) {}

TaskWrapper::~TaskWrapper() {
    stopProcess();
}

bool TaskWrapper::startProcess(posix::FileDescriptor master, posix::FileDescriptor slave) {
    if (!controller_) // stopped already: the pair is closed on return
        return false;
    master_ = std::move(master);
    slave_ = std::move(slave);
    controller_->processStarted();

    // The drain after the child's exit reads until nothing is left: never block.
    if (!master_ || !slave_ || !setNonBlocking(master_.get())) {
        launchError_ = QString::fromLocal8Bit(std::strerror(EBADF));
        stopProcess();
        return false;
    }
    readBuffer_.resize(ReadChunkSize);
    readNotifier_ = new QSocketNotifier(master_.get(), QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &TaskWrapper::readAvailable);

    if (!launch()) {
        stopProcess();
        return false;
    }
    return true;
}

bool TaskWrapper::launch() {
    const pid_t pid = launchOnTerminal(arguments_, master_.get(), slave_.get(), launchError_);
    if (pid < 0)
        return false;
    childPid_ = pid;
    reaper_ = ChildReaper::watch(pid);
    connect(reaper_, &ChildReaper::exited, this, &TaskWrapper::childExited);
    return true;
}

void TaskWrapper::readAvailable() {
    // One delivery at a time, even when the client runs a nested event loop.
    if (delivering_ || held_ || !isRunning())
        return;
    delivering_ = true;
    readNotifier_->setEnabled(false);
    pumpOutput();
    delivering_ = false;

    if (releaseAfterDelivery_)
        deleteLater();
    else if (isRunning() && !held_)
        readNotifier_->setEnabled(true);
}

void TaskWrapper::holdOutput(bool hold) {
    held_ = hold;
    // A delivery in progress arms the next read itself when it ends.
    if (!isRunning() || delivering_)
        return;
    readNotifier_->setEnabled(!hold);
    if (!hold && exitStatus_ && !exitReported_)
        QTimer::singleShot(0, this, &TaskWrapper::readAvailable);
}

void TaskWrapper::pumpOutput() {
    // One read per call while the child runs; once it has exited, every byte
    // it left behind comes first, then the news of its exit.
    do {
        const ssize_t count = readRetrying(master_.get(), readBuffer_.data(), readBuffer_.size());
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (count <= 0) { // 0 or EIO: the end of the data
            stopProcess();
            return;
        }
        deliver(QByteArrayView(readBuffer_.constData(), count));
        if (!controller_)
            return;
    } while (exitStatus_ && !exitReported_ && !held_);

    if (exitStatus_ && !exitReported_ && !held_) {
        exitReported_ = true;
        controller_->processExited(*exitStatus_);
    }
}

void TaskWrapper::deliver(QByteArrayView bytes) {
    for (const QString& piece : splitter_.split(bytes)) {
        // Stopped by the client during this delivery: the rest is dropped.
        if (!controller_)
            return;
        controller_->processOutput(piece);
    }
}

void TaskWrapper::childExited(int waitStatus) {
    if (!controller_ || exitStatus_)
        return;
    exitStatus_ = waitStatus;
    // Inside a delivery, the delivery in progress drains and reports.
    readAvailable();
}

void TaskWrapper::stopProcess() {
    if (readNotifier_)
        readNotifier_->setEnabled(false);
    if (writeNotifier_)
        writeNotifier_->setEnabled(false);
    if (reaper_) {
        disconnect(reaper_, nullptr, this, nullptr);
        reaper_->terminate();
        reaper_ = nullptr;
    }
    master_.reset();
    slave_.reset();
    pendingInput_.clear();
    if (TaskWrapperController* client = std::exchange(controller_, nullptr))
        client->processFinished();
}

void TaskWrapper::sendString(const QString& text) {
    if (!master_)
        return;
    pendingInput_ += text.toUtf8();
    writePendingInput();
}

void TaskWrapper::writePendingInput() {
    while (!pendingInput_.isEmpty()) {
        const ssize_t written = ::write(master_.get(), pendingInput_.constData(),
                                        static_cast<size_t>(pendingInput_.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (written <= 0) { // the terminal is gone: nobody will read the rest
            pendingInput_.clear();
            break;
        }
        pendingInput_.remove(0, written);
    }
    // The terminal's input queue is full: go on once the child has read some.
    if (!pendingInput_.isEmpty() && !writeNotifier_) {
        writeNotifier_ = new QSocketNotifier(master_.get(), QSocketNotifier::Write, this);
        connect(writeNotifier_, &QSocketNotifier::activated, this, &TaskWrapper::writePendingInput);
    }
    if (writeNotifier_)
        writeNotifier_->setEnabled(!pendingInput_.isEmpty());
}

void TaskWrapper::Release::operator()(TaskWrapper* wrapper) const {
    if (wrapper->delivering_) {
        // Discarded from inside its own delivery: stop now, delete once the
        // delivery has returned.
        wrapper->stopProcess();
        wrapper->releaseAfterDelivery_ = true;
    } else {
        delete wrapper;
    }
}

} // namespace emberlin
