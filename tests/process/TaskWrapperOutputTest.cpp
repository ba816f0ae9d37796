#include "TaskWrapperTestFixture.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Lets the child wait for the test: it goes on once it has read one byte.
const QString WaitForTest = QStringLiteral("dd bs=1 count=1 of=/dev/null 2>/dev/null");

TEST_F(TaskWrapperTest, BytesArriveUnchangedAndInputIsNotEchoed) {
    start(
        shellCommand("printf 'one\\r\\ntwo\\n\\tthree\\n'; " + WaitForTest + "; printf 'end\\n'"));
    ASSERT_TRUE(waitFor([this] { return client.joinedOutput().endsWith("three\n"); }));
    wrapper->sendString("Q");
    ASSERT_TRUE(waitForExit());
    EXPECT_EQ(client.joinedOutput(), "one\r\ntwo\n\tthree\nend\n");
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

    QString slaveName;
    start({EMBERLIN_PROCESS_TEST_CHILD}, &slaveName); // the launch path alone
    ::sigaction(SIGPIPE, &previousPipe, nullptr);
    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ASSERT_TRUE(waitForExit());

    QMap<QString, QString> report;
    QStringList descriptors;
    for (const QString& piece : client.pieces) {
        ASSERT_TRUE(piece.endsWith('\n')) << piece.toStdString();
        const QString line = piece.chopped(1);
        const QString key = line.section(' ', 0, 0);
        const QString value = line.section(' ', 1);
        if (key == "descriptor")
            descriptors.append(value);
        else
            report.insert(key, value);
    }
    EXPECT_TRUE(report.contains("end"));
    EXPECT_EQ(report.value("arguments"), "0");
    EXPECT_EQ(report.value("stdin"), slaveName);
    EXPECT_EQ(report.value("stdout"), slaveName);
    EXPECT_EQ(report.value("stderr"), slaveName);
    EXPECT_EQ(report.value("session-leader"), "yes");
    EXPECT_EQ(report.value("controlling-terminal"), "yes");
    EXPECT_EQ(report.value("blocked"), "0000000000000000");
    EXPECT_EQ(report.value("ignored"), "0000000000000000");
    for (const int standard : {0, 1, 2})
        EXPECT_TRUE(descriptors.contains(QStringLiteral("%1=%2").arg(standard).arg(slaveName)))
            << descriptors.join(' ').toStdString();
    // Neither the master nor another copy of the slave leaks into the child.
    EXPECT_EQ(descriptors.filter("/dev/pt").size(), 3) << descriptors.join(' ').toStdString();
}

struct TwoPartCase {
    const char* name;
    QString first;  // the child writes this, then waits for the test
    QString second; // and this after the test has seen the first part
    QStringList piecesOfFirst;
    QStringList allPieces;
};

void PrintTo(const TwoPartCase& twoParts, std::ostream* out) {
    *out << twoParts.name;
}

class TaskWrapperTwoPartTest : public TaskWrapperTest,
                               public testing::WithParamInterface<TwoPartCase> {};

TEST_P(TaskWrapperTwoPartTest, OutputWrittenInTwoPartsArrivesInPieces) {
    const TwoPartCase& twoParts = GetParam();
    start(shellCommand(QStringLiteral("printf '%1'; %2; printf '%3'")
                           .arg(twoParts.first, WaitForTest, twoParts.second)));
    ASSERT_TRUE(waitForPieces(twoParts.piecesOfFirst.size()));
    EXPECT_EQ(client.pieces, twoParts.piecesOfFirst);
    wrapper->sendString("x");
    ASSERT_TRUE(waitForExit());
    EXPECT_EQ(client.pieces, twoParts.allPieces);
}

INSTANTIATE_TEST_SUITE_P(
    Children, TaskWrapperTwoPartTest,
    testing::Values(TwoPartCase{"PromptWithoutLineEnd",
                                "PERCENT:100.000000\\nPlease insert a disc:",
                                "",
                                {"PERCENT:100.000000\n", "Please insert a disc:"},
                                {"PERCENT:100.000000\n", "Please insert a disc:"}},
                    TwoPartCase{"LineCutBetweenReads",
                                "MESSAGE:Burning\\nPERCENT:1",
                                "2.5\\n",
                                {"MESSAGE:Burning\n", "PERCENT:1"},
                                {"MESSAGE:Burning\n", "PERCENT:1", "2.5\n"}},
                    TwoPartCase{"CharacterCutBetweenReads",
                                "caf\\303",
                                "\\251 ok\\n",
                                {"caf"},
                                {"caf", QString::fromUtf8("\xc3\xa9 ok\n")}}),
    [](const testing::TestParamInfo<TwoPartCase>& info) { return info.param.name; });

TEST_F(TaskWrapperTest, InvalidChunkIsDroppedAndReadingGoesOn) {
    // Each byte from the test makes the child write one more line.
    start(shellCommand("printf 'ok\\n'; " + WaitForTest + "; printf 'bad\\377\\n'; while " +
                       WaitForTest + "; do printf 'after\\n'; done"));
    ASSERT_TRUE(waitForPieces(1));
    // Lines that share a read with the invalid bytes go with them: ask until
    // one arrives in a read of its own.
    ASSERT_TRUE(waitFor([this] {
        wrapper->sendString("x");
        return client.pieces.contains("after\n");
    }));
    EXPECT_EQ(client.pieces.first(), "ok\n");
    for (const QString& piece : client.pieces)
        EXPECT_TRUE(piece == "ok\n" || piece == "after\n") << piece.toStdString();
}

TEST_F(TaskWrapperTest, ProcessStartedComesBeforeTheChildAndItsOutput) {
    pid_t pidWhenStarted = 0;
    int childrenWhenStarted = -1;
    client.onStarted = [&] {
        pidWhenStarted = wrapper->processId();
        childrenWhenStarted = childProcessCount();
    };
    const int childrenBefore = childProcessCount();
    start(shellCommand("printf 'hello'"));
    ASSERT_TRUE(waitForExit());
    EXPECT_LE(pidWhenStarted, 0);
    EXPECT_EQ(childrenWhenStarted, childrenBefore);
    EXPECT_EQ(client.events, QStringList({"started", "output", "exited"}));
    EXPECT_EQ(client.pieces, QStringList{"hello"});
}

TEST_F(TaskWrapperTest, StoppingTwiceFinishesOnceAndReportsNoExit) {
    start({"/bin/sleep", "100"});
    const pid_t pid = wrapper->processId();
    wrapper->stopProcess();
    wrapper->stopProcess();
    EXPECT_FALSE(wrapper->isRunning());
    wrapper.reset();
    EXPECT_EQ(client.finishedCount, 1);
    ASSERT_TRUE(waitFor([pid] { return processGone(pid); }));
    EXPECT_FALSE(client.events.contains("exited"));
}

TEST_F(TaskWrapperTest, DiscardingAWrapperNeverStartedFinishesOnce) {
    wrapper.reset(new TaskWrapper(client, {"/bin/true"}));
    wrapper.reset();
    EXPECT_EQ(client.events, QStringList{"finished"});
}

TEST_F(TaskWrapperTest, SendStringWritesExactlyTheBytes) {
    QTemporaryDir scratch;
    const QString received = scratch.filePath("received");
    start(shellCommand("dd bs=1 count=6 of='" + received + "' 2>/dev/null"));
    wrapper->sendString("abc");
    wrapper->sendString(QString::fromUtf8("\xc3\xa9"));
    wrapper->sendString("Z");
    ASSERT_TRUE(waitForExit());
    QFile file(received);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("abc\xc3\xa9Z"));
}

struct ExitCase {
    const char* name;
    QString script;
    QString output;
    std::function<bool(int)> statusMatches;
};

QString numberedLines(int count) {
    QString lines;
    for (int i = 0; i < count; ++i)
        lines += QStringLiteral("PERCENT:%1\n").arg(i);
    return lines;
}

void PrintTo(const ExitCase& exitCase, std::ostream* out) {
    *out << exitCase.name;
}

class TaskWrapperExitTest : public TaskWrapperTest, public testing::WithParamInterface<ExitCase> {};

TEST_P(TaskWrapperExitTest, ExitIsReportedOnceAfterAllOutput) {
    const ExitCase& exitCase = GetParam();
    start(shellCommand(exitCase.script));
    ASSERT_TRUE(waitForExit());
    EXPECT_EQ(client.joinedOutput(), exitCase.output);
    EXPECT_TRUE(exitCase.statusMatches(*client.exitStatus)) << *client.exitStatus;
    EXPECT_EQ(client.events.last(), "exited");
    EXPECT_EQ(client.events.count("exited"), 1);
    // Still running until its owner discards it.
    EXPECT_TRUE(wrapper->isRunning());
    EXPECT_EQ(client.finishedCount, 0);
    wrapper.reset();
    EXPECT_EQ(client.finishedCount, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Children, TaskWrapperExitTest,
    testing::Values(
        ExitCase{"ExitsWithStatus",
                 "i=0; while [ $i -lt 3000 ]; do echo \"PERCENT:$i\"; i=$((i+1)); done; "
                 "printf 'last'; exit 3",
                 numberedLines(3000) + "last",
                 [](int status) {
                     return WIFEXITED(status) && WEXITSTATUS(status) == 3;
                 }},
        ExitCase{"KilledBySignal", "echo before; kill -KILL $$", "before\n",
                 [](int status) {
                     return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
                 }}),
    [](const testing::TestParamInfo<ExitCase>& info) { return info.param.name; });

TEST_F(TaskWrapperTest, EndOfDataStopsTheWrapper) {
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    FileDescriptor readEnd(pipeEnds[0]);
    FileDescriptor writeEnd(pipeEnds[1]);
    FileDescriptor nowhere(::open("/dev/null", O_RDWR | O_CLOEXEC));
    wrapper.reset(new TaskWrapper(client, {"/bin/sleep", "100"}));
    ASSERT_TRUE(wrapper->startProcess(std::move(readEnd), std::move(nowhere)));
    const pid_t pid = wrapper->processId();

    ASSERT_EQ(::write(writeEnd.get(), "last\n", 5), 5);
    writeEnd.reset();
    ASSERT_TRUE(waitFor([this] { return client.finishedCount > 0; }));
    EXPECT_EQ(client.pieces, QStringList{"last\n"});
    EXPECT_FALSE(wrapper->isRunning());
    ASSERT_TRUE(waitFor([pid] { return processGone(pid); }));
    EXPECT_EQ(client.finishedCount, 1);
}

} // namespace
