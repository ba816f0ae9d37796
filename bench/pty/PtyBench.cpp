// Lines per second through the pseudo-terminal: a bare reader that only cuts
// lines, against the TaskWrapper delivering pieces to a client that counts them.
#include "BenchWriterPath.h"
#include "LaunchOnTerminal.h"
#include "PtyOpener.h"
#include "TaskWrapper.h"
#include "TaskWrapperController.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

QStringList writerArguments(long lines) {
    return {benchWriterPath(), QString::number(lines)};
}

// Plain read loop and memchr on the master; our slave copy is closed after
// the launch, so the end of the data shows as EIO once the writer is done.
long bareReaderLines(long lines, double& seconds) {
    FileDescriptor master;
    FileDescriptor slave;
    if (!SystemPtyOpener().openRawPair(master, slave))
        return -1;
    const Clock::time_point start = Clock::now();
    QString error;
    const pid_t pid = launchOnTerminal(writerArguments(lines), master.get(), slave.get(), error);
    if (pid < 0) {
        std::fprintf(stderr, "cannot start the writer: %s\n", qPrintable(error));
        return -1;
    }
    slave.reset();

    long counted = 0;
    char buffer[64 * 1024];
    for (;;) {
        pollfd readable{master.get(), POLLIN, 0};
        ::poll(&readable, 1, -1);
        const ssize_t count = ::read(master.get(), buffer, sizeof buffer);
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (count <= 0)
            break;
        for (const char* at = buffer;
             (at = static_cast<const char*>(std::memchr(at, '\n', buffer + count - at))); ++at)
            ++counted;
    }
    seconds = secondsSince(start);
    ::waitpid(pid, nullptr, 0);
    return counted;
}

class CountingClient final : public TaskWrapperController {
public:
    explicit CountingClient(QEventLoop& loop)
        : loop_(loop) {}
    void processOutput(const QString& output) override {
        if (output.endsWith(u'\n'))
            ++lines;
    }
    void processStarted() override {}
    void processFinished() override {}
    void processExited(int) override { loop_.quit(); }

    long lines = 0;

private:
    QEventLoop& loop_;
};

long taskWrapperLines(long lines, double& seconds) {
    QEventLoop loop;
    CountingClient client(loop);
    FileDescriptor master;
    FileDescriptor slave;
    if (!SystemPtyOpener().openRawPair(master, slave))
        return -1;
    const Clock::time_point start = Clock::now();
    TaskWrapperPtr wrapper(new TaskWrapper(client, writerArguments(lines)));
    if (!wrapper->startProcess(std::move(master), std::move(slave))) {
        std::fprintf(stderr, "cannot start the writer: %s\n", qPrintable(wrapper->launchError()));
        return -1;
    }
    loop.exec();
    seconds = secondsSince(start);
    return client.lines;
}

using Reader = long (*)(long lines, double& seconds);

// The median of several rounds: the writer shares the cores with the reader.
void measure(const char* name, Reader reader, long lines, int rounds) {
    std::vector<double> rates;
    for (int round = 0; round < rounds; ++round) {
        double seconds = 0;
        const long counted = reader(lines, seconds);
        if (counted != lines) {
            std::printf("%-30s %ld of %ld lines arrived\n", name, counted, lines);
            return;
        }
        rates.push_back(static_cast<double>(lines) / seconds);
    }
    std::sort(rates.begin(), rates.end());
    std::printf("%-30s median %10.0f lines/s  (min %10.0f, max %10.0f, %d rounds)\n", name,
                rates[rates.size() / 2], rates.front(), rates.back(), rounds);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const long lines = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    if (lines <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: %s [LINES [ROUNDS]]\n", argv[0]);
        return 2;
    }
    std::printf("%ld \"PERCENT:n\" lines through a raw pseudo-terminal\n", lines);
    measure("bare reader (read + memchr)", bareReaderLines, lines, rounds);
    measure("TaskWrapper, counting client", taskWrapperLines, lines, rounds);
    return 0;
}
