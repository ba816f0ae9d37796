#include "tests/process/TaskWrapperTestFixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace emberlin;

namespace {

// Lets the child wait for the test: it goes on once it has read one byte.
const QString waitForTest = "dd bs=1 count=1 of=/dev/null 2>/dev/null";

TEST_F(TaskWrapperTest, BytesPassUnchangedBothWaysWithoutEcho) {
    QTemporaryDir scratch;
    start(shellCommand("printf 'one\\r\\ntwo\\n\\tthree\\n'; dd bs=1 count=6 of='" +
                       scratch.filePath("received") + "' 2>/dev/null; printf 'end\\n'"));
    ASSERT_TRUE(waitFor([this] { return client.pieces.join("").endsWith("three\n"); }));
    wrapper->sendString("abc");
    wrapper->sendString(QString::fromUtf8("\xc3\xa9"));
    wrapper->sendString("Z");
    ASSERT_TRUE(waitForExit());
    EXPECT_EQ(client.pieces.join(""), "one\r\ntwo\n\tthree\nend\n");
    QFile received(scratch.filePath("received"));
    ASSERT_TRUE(received.open(QIODevice::ReadOnly));
    EXPECT_EQ(received.readAll(), QByteArray("abc\xc3\xa9Z"));
}

TEST_F(TaskWrapperTest, ChildRunsOnTheSlaveInASessionOfItsOwnWithDefaultSignals) {
    // Settings of ours that must not reach the child.
    struct sigaction ignore {};
    struct sigaction previousPipe {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &previousPipe);
    sigset_t blocked;
    sigset_t previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR2);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);
    QString slave;
    start(shellCommand(
              "for fd in 0 1 2; do echo fd$fd $(readlink /proc/$$/fd/$fd); done; "
              "read -r pid comm state ppid group session rest </proc/$$/stat; "
              "[ $pid = $session ] && echo leader; (: </dev/tty) 2>/dev/null && echo terminal; "
              "while read -r key value; do case $key in SigBlk:|SigIgn:) echo $key $value;; "
              "esac; done </proc/$$/status; "
              "echo terminals $(ls -l /proc/$$/fd | grep -c /dev/pt)"),
          &slave);
    ::sigaction(SIGPIPE, &previousPipe, nullptr);
    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ASSERT_TRUE(waitForExit());
    // Neither the master nor another copy of the slave leaks into the child.
    EXPECT_EQ(client.pieces,
              QStringList({"fd0 " + slave + "\n", "fd1 " + slave + "\n", "fd2 " + slave + "\n",
                           "leader\n", "terminal\n", "SigBlk: 0000000000000000\n",
                           "SigIgn: 0000000000000000\n", "terminals 3\n"}));
}

TEST_F(TaskWrapperTest, ProcessStartedComesBeforeTheChildAndItsOutput) {
    pid_t pidWhenStarted = 0;
    int childrenWhenStarted = -1;
    client.onStarted = [&] {
        pidWhenStarted = wrapper->processId();
        childrenWhenStarted = childProcessCount();
    };
    const int childrenBefore = childProcessCount();
    start({"/bin/echo"}); // the launch path alone: no arguments
    ASSERT_TRUE(waitForExit());
    EXPECT_LE(pidWhenStarted, 0);
    EXPECT_EQ(childrenWhenStarted, childrenBefore);
    EXPECT_EQ(client.events, QStringList({"started", "output", "exited"}));
    EXPECT_EQ(client.pieces, QStringList{"\n"});
}

TEST_F(TaskWrapperTest, HeldNewsOfTheExitWaitsForTheRelease) {
    start(shellCommand("exit 4"));
    wrapper->holdOutput(true);
    const pid_t pid = wrapper->processId();
    ASSERT_TRUE(waitFor([pid] { return processGone(pid); })); // exited and reaped
    QCoreApplication::processEvents();
    EXPECT_EQ(client.events, QStringList{"started"});
    wrapper->holdOutput(false);
    ASSERT_TRUE(waitForExit());
    EXPECT_EQ(client.events, QStringList({"started", "exited"}));
    EXPECT_EQ(WEXITSTATUS(*client.exitStatus), 4);
}

TEST_F(TaskWrapperTest, StoppingTwiceFinishesOnceAndReportsNoExit) {
    start({"/bin/sleep", "100"});
    const pid_t pid = wrapper->processId();
    wrapper->stopProcess();
    wrapper->stopProcess();
    EXPECT_FALSE(wrapper->isRunning());
    wrapper.reset();
    ASSERT_TRUE(waitFor([pid] { return processGone(pid); }));
    EXPECT_EQ(client.events, QStringList({"started", "finished"}));
}

TEST_F(TaskWrapperTest, DiscardingAWrapperNeverStartedFinishesOnce) {
    wrapper.reset(new TaskWrapper(client, {"/bin/true"}));
    wrapper.reset();
    EXPECT_EQ(client.events, QStringList{"finished"});
}

TEST_F(TaskWrapperTest, ExitIsReportedOnceAfterAllOutput) {
    start(shellCommand("i=0; while [ $i -lt 3000 ]; do echo \"PERCENT:$i\"; i=$((i+1)); done; "
                       "printf 'last'; exit 3"));
    ASSERT_TRUE(waitForExit());
    QString lines;
    for (int i = 0; i < 3000; ++i)
        lines += QString("PERCENT:%1\n").arg(i);
    EXPECT_EQ(client.pieces.join(""), lines + "last");
    EXPECT_EQ(WEXITSTATUS(*client.exitStatus), 3);
    EXPECT_EQ(client.events.last(), "exited");
    EXPECT_EQ(client.events.count("exited"), 1);
    // Still running until its owner discards it.
    EXPECT_TRUE(wrapper->isRunning());
    wrapper.reset();
    EXPECT_EQ(client.events.count("finished"), 1);
}

TEST_F(TaskWrapperTest, EndOfDataStopsTheWrapper) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    posix::FileDescriptor readEnd(pipeEnds[0]);
    posix::FileDescriptor writeEnd(pipeEnds[1]);
    posix::FileDescriptor nowhere(::open("/dev/null", O_RDWR | O_CLOEXEC));
    wrapper.reset(new TaskWrapper(client, {"/bin/sleep", "100"}));
    ASSERT_TRUE(wrapper->startProcess(std::move(readEnd), std::move(nowhere)));
    const pid_t pid = wrapper->processId();

    ASSERT_EQ(::write(writeEnd.get(), "last\n", 5), 5);
    writeEnd.reset();
    ASSERT_TRUE(waitFor([this] { return client.events.contains("finished"); }));
    EXPECT_EQ(client.pieces, QStringList{"last\n"});
    EXPECT_FALSE(wrapper->isRunning());
    ASSERT_TRUE(waitFor([pid] { return processGone(pid); }));
    EXPECT_EQ(client.events.count("finished"), 1);
}

TEST_F(TaskWrapperTest, DiscardingTerminatesTheChildWhichIsReapedWhenItHasWoundUp) {
    QTemporaryDir scratch;
    const QString woundUp = scratch.filePath("wound-up");
    // A burner needs a moment to abort cleanly.
    start(shellCommand("trap 'sleep 1; : >\"" + woundUp +
                       "\"; exit 0' TERM HUP; echo ready; while :; do sleep 1 & wait $!; done"));
    ASSERT_TRUE(waitFor([this] { return client.pieces.contains("ready\n"); }));
    const pid_t pid = wrapper->processId();
    wrapper.reset();
    EXPECT_EQ(client.events.count("finished"), 1);
    ASSERT_TRUE(waitFor([pid] { return processGone(pid); }));
    // It was given time to finish: not killed, and not left a zombie.
    EXPECT_TRUE(QFile::exists(woundUp));
}

TEST_F(TaskWrapperTest, AProgramThatCannotStartFailsWithAReasonLeavingNothingBehind) {
    const int descriptorsBefore = openDescriptorCount();
    const int childrenBefore = childProcessCount();
    posix::FileDescriptor master;
    posix::FileDescriptor slave;
    ASSERT_TRUE(SystemPtyOpener().openRawPair(master, slave));
    wrapper.reset(new TaskWrapper(client, {"/nonexistent/program", "--list"}));
    EXPECT_FALSE(wrapper->startProcess(std::move(master), std::move(slave)));
    EXPECT_EQ(wrapper->launchError(), QString::fromLocal8Bit(std::strerror(ENOENT)));
    EXPECT_FALSE(wrapper->isRunning());
    EXPECT_EQ(client.events, QStringList({"started", "finished"}));
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
    EXPECT_EQ(childProcessCount(), childrenBefore);
}

} // namespace
