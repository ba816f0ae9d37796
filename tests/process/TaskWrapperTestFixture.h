#pragma once

#include "process/PtyOpener.h"
#include "process/TaskWrapper.h"
#include "process/TaskWrapperController.h"
#include "tests/support/TestSupport.h"

#include <QStringList>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

// Records what a wrapper tells its client, in order.
class RecordingClient : public emberlin::TaskWrapperController {
public:
    void processOutput(const QString& output) override {
        events << "output";
        pieces << output;
    }
    void processStarted() override {
        events << "started";
        if (onStarted)
            onStarted();
    }
    void processFinished() override { events << "finished"; }
    void processExited(int waitStatus) override {
        events << "exited";
        exitStatus = waitStatus;
    }

    QStringList events; // "started", "output", "exited", "finished"
    QStringList pieces;
    std::optional<int> exitStatus;
    std::function<void()> onStarted;
};

inline QStringList shellCommand(const QString& script) {
    return {"/bin/sh", "-c", script};
}

// A wrapper on a fresh raw pseudo-terminal, reporting to a recording client.
class TaskWrapperTest : public testing::Test {
protected:
    // With the slave's name, for tests that look at the child's terminal.
    void start(const QStringList& arguments, QString* slaveName = nullptr) {
        posix::FileDescriptor master;
        posix::FileDescriptor slave;
        ASSERT_TRUE(emberlin::SystemPtyOpener().openRawPair(master, slave));
        if (slaveName)
            *slaveName = QString::fromLocal8Bit(::ptsname(master.get()));
        wrapper.reset(new emberlin::TaskWrapper(client, arguments));
        ASSERT_TRUE(wrapper->startProcess(std::move(master), std::move(slave)))
            << wrapper->launchError().toStdString();
    }
    bool waitForExit() {
        return waitFor([this] { return client.exitStatus.has_value(); });
    }

    RecordingClient client; // outlives the wrapper, which reports to it when discarded
    emberlin::TaskWrapperPtr wrapper;
};
