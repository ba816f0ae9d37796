#pragma once

#include "TaskWrapperController.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <sys/types.h>

// Waits, handling events, until the condition holds; false after a generous bound.
bool waitFor(const std::function<bool()>& condition);

int openDescriptorCount();
// Children of this process, zombies included.
int childProcessCount();
// True once the process no longer exists, not even as a zombie.
bool processGone(pid_t pid);

QStringList shellCommand(const QString& script);

// Records what a wrapper tells its client, in order.
class RecordingClient : public TaskWrapperController {
public:
    void processOutput(const QString& output) override;
    void processStarted() override;
    void processFinished() override;
    void processExited(int waitStatus) override;

    QString joinedOutput() const { return pieces.join(QString()); }

    QStringList events; // "started", "output", "exited", "finished"
    QStringList pieces;
    std::optional<int> exitStatus;
    int finishedCount = 0;
    std::function<void()> onStarted;
    std::function<void(const QString&)> onOutput;
};
