#include "TaskWrapperTestFixture.h"

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstring>

namespace {

TEST_F(TaskWrapperTest, DiscardedFromInsideItsOwnDeliveryStopsAndDeliversNothingMore) {
    RecordingClient nextClient;
    TaskWrapperPtr nextWrapper;
    start(shellCommand("printf 'one\\ntwo\\nthree\\n'; exec sleep 100"));
    const pid_t firstPid = wrapper->processId();

    // Like a modal alert whose nested event loop starts the next burn.
    client.onOutput = [&](const QString&) {
        if (client.pieces.size() > 1)
            return;
        QEventLoop alert;
        QTimer::singleShot(0, [&] {
            wrapper.reset();
            FileDescriptor master;
            FileDescriptor slave;
            ASSERT_TRUE(SystemPtyOpener().openRawPair(master, slave));
            nextWrapper.reset(new TaskWrapper(nextClient, shellCommand("printf 'next\\n'")));
            ASSERT_TRUE(nextWrapper->startProcess(std::move(master), std::move(slave)));
        });
        nextClient.onOutput = [&](const QString&) {
            alert.quit();
        };
        alert.exec();
    };
    ASSERT_TRUE(waitForPieces(1));
    ASSERT_TRUE(waitFor([&] { return nextClient.exitStatus.has_value(); }));
    ASSERT_TRUE(waitFor([firstPid] { return processGone(firstPid); }));

    EXPECT_FALSE(wrapper);
    EXPECT_EQ(client.pieces, QStringList{"one\n"});
    EXPECT_EQ(client.events, QStringList({"started", "output", "finished"}));
    EXPECT_EQ(nextClient.pieces, QStringList{"next\n"});
}

TEST_F(TaskWrapperTest, DiscardingTerminatesTheChildWhichIsReapedWhenItHasWoundUp) {
    QTemporaryDir scratch;
    const QString cleanExit = scratch.filePath("clean-exit");
    start({EMBERLIN_PROCESS_TEST_CHILD, "slow-exit", cleanExit});
    ASSERT_TRUE(waitFor([this] { return client.pieces.contains("ready\n"); }));
    const pid_t pid = wrapper->processId();

    wrapper.reset();
    EXPECT_EQ(client.finishedCount, 1);
    ASSERT_TRUE(waitFor([pid] { return processGone(pid); }));
    // It was given time to finish: not killed, and not left a zombie.
    EXPECT_TRUE(QFile::exists(cleanExit));
}

struct LaunchFailureCase {
    const char* name;
    int expectedError;
    // Makes the program to launch inside the scratch folder; returns its path.
    std::function<QString(const QTemporaryDir&)> makeProgram;
};

void PrintTo(const LaunchFailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

class TaskWrapperLaunchFailureTest : public TaskWrapperTest,
                                     public testing::WithParamInterface<LaunchFailureCase> {};

TEST_P(TaskWrapperLaunchFailureTest, FailsWithAReasonLeavingNothingBehind) {
    QTemporaryDir scratch;
    const QString program = GetParam().makeProgram(scratch);
    const int descriptorsBefore = openDescriptorCount();
    const int childrenBefore = childProcessCount();

    FileDescriptor master;
    FileDescriptor slave;
    ASSERT_TRUE(SystemPtyOpener().openRawPair(master, slave));
    wrapper.reset(new TaskWrapper(client, {program, "--list"}));
    EXPECT_FALSE(wrapper->startProcess(std::move(master), std::move(slave)));

    EXPECT_EQ(wrapper->launchError(),
              QString::fromLocal8Bit(std::strerror(GetParam().expectedError)));
    EXPECT_FALSE(wrapper->isRunning());
    EXPECT_EQ(client.events, QStringList({"started", "finished"}));
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
    EXPECT_EQ(childProcessCount(), childrenBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, TaskWrapperLaunchFailureTest,
    testing::Values(LaunchFailureCase{"Missing", ENOENT,
                                      [](const QTemporaryDir& scratch) {
                                          return scratch.filePath("missing");
                                      }},
                    LaunchFailureCase{"NotExecutable", EACCES,
                                      [](const QTemporaryDir& scratch) {
                                          QFile script(scratch.filePath("not-executable"));
                                          EXPECT_TRUE(script.open(QIODevice::WriteOnly));
                                          script.write("#!/bin/sh\necho never\n");
                                          return script.fileName();
                                      }},
                    LaunchFailureCase{"Folder", EACCES,
                                      [](const QTemporaryDir& scratch) {
                                          return scratch.path();
                                      }}),
    [](const testing::TestParamInfo<LaunchFailureCase>& info) { return info.param.name; });

TEST_F(TaskWrapperTest, ManyStartsAndStopsLeaveNoDescriptorOrChildBehind) {
    const auto cycle = [this](int i) {
        const QStringList children[] = {
            {"/bin/sleep", "100"}, {"/bin/true"}, shellCommand("echo PERCENT:50; exec sleep 100")};
        start(children[i % 3]);
        if (i % 2 == 0)
            wrapper->stopProcess();
        wrapper.reset();
    };
    // Let the event dispatcher settle what it opens for itself on first use.
    cycle(0);
    ASSERT_TRUE(waitFor([] { return childProcessCount() == 0; }));
    const int descriptorsBefore = openDescriptorCount();
    const int childrenBefore = childProcessCount();

    for (int i = 0; i < 200; ++i)
        cycle(i);

    EXPECT_EQ(client.finishedCount, 201);
    EXPECT_TRUE(waitFor([&] {
        return openDescriptorCount() == descriptorsBefore && childProcessCount() == childrenBefore;
    })) << "descriptors "
        << openDescriptorCount() << " (before " << descriptorsBefore << "), children "
        << childProcessCount() << " (before " << childrenBefore << ")";
}

} // namespace
