#pragma once

#include "ProcessTestSupport.h"
#include "PtyOpener.h"
#include "QtPrinters.h"
#include "TaskWrapper.h"

#include <cstdlib>
#include <gtest/gtest.h>

// A wrapper on a fresh raw pseudo-terminal, reporting to a recording client.
class TaskWrapperTest : public testing::Test {
protected:
    // With the master's slave name, for tests that look at the child's terminal.
    void start(const QStringList& arguments, QString* slaveName = nullptr) {
        FileDescriptor master;
        FileDescriptor slave;
        ASSERT_TRUE(SystemPtyOpener().openRawPair(master, slave));
        if (slaveName)
            *slaveName = QString::fromLocal8Bit(::ptsname(master.get()));
        wrapper.reset(new TaskWrapper(client, arguments));
        ASSERT_TRUE(wrapper->startProcess(std::move(master), std::move(slave)))
            << wrapper->launchError().toStdString();
    }

    bool waitForExit() {
        return waitFor([this] { return client.exitStatus.has_value(); });
    }
    bool waitForPieces(qsizetype count) {
        return waitFor([this, count] { return client.pieces.size() >= count; });
    }

    RecordingClient client; // outlives the wrapper, which reports to it when discarded
    TaskWrapperPtr wrapper;
};
