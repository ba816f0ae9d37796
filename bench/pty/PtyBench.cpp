// Lines per second through the pseudo-terminal: a bare reader that only cuts
// lines, against the TaskWrapper delivering pieces to a client that counts them,
// and against the whole window (controller, interpreter, widgets) offscreen.
// With --replay MINUTES it replays a burn at real speed (one progress line a
// second) into the window and reports the share of a core it took.
#include "app/AppAssembly.h"
#include "bench/pty/BenchWriterPath.h"
#include "process/LaunchOnTerminal.h"
#include "process/PtyOpener.h"
#include "process/TaskWrapper.h"
#include "process/TaskWrapperController.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace emberlin;

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
    posix::FileDescriptor master;
    posix::FileDescriptor slave;
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
    posix::FileDescriptor master;
    posix::FileDescriptor slave;
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

// The real application with the real alerts and sounds, driven by the writer
// acting as the disc-image tool.
class BenchWindow {
public:
    BenchWindow()
        : store_(scratch_.filePath(QStringLiteral("prefs.ini")), QSettings::IniFormat)
        , app_(store_, {benchWriterPath()}) {
        QFile image(image_);
        if (!image.open(QIODevice::WriteOnly) || image.write("image") != 5)
            qFatal("cannot write %s", qPrintable(image_));
        app_.window().show();
        runUntilReady([this] { app_.controller().awakeFromNib(); });
        app_.window().outlets().eraseCheckbox->setChecked(false);
    }

    // Runs one burn and returns once its last line has been interpreted.
    bool burn(long lines, std::chrono::milliseconds interval) {
        qputenv("EMBERLIN_BENCH_LINES", QByteArray::number(static_cast<qlonglong>(lines)));
        qputenv("EMBERLIN_BENCH_INTERVAL_MS",
                QByteArray::number(static_cast<qlonglong>(interval.count())));
        runUntilReady([this] { app_.controller().doBurn(image_); });
        return app_.window().outlets().deviceStatusField->text().startsWith(
            QStringLiteral("Burn completed successfully"));
    }

private:
    // The listing and the burn both end in the ready state, one way or the other.
    void runUntilReady(const std::function<void()>& start) {
        QEventLoop loop;
        const QMetaObject::Connection ended =
            QObject::connect(&app_.controller().burnReports(), &BurnReports::stateChanged, &loop,
                             [&loop](BurnState state) {
                                 if (state == BurnStateReady)
                                     QTimer::singleShot(0, &loop, &QEventLoop::quit);
                             });
        start();
        loop.exec();
        QObject::disconnect(ended);
    }

    QTemporaryDir scratch_;
    QString image_ = scratch_.filePath(QStringLiteral("bench.iso"));
    QSettings store_;
    AppAssembly app_;
};

long controllerLines(long lines, double& seconds) {
    BenchWindow window;
    const Clock::time_point start = Clock::now();
    const bool completed = window.burn(lines, std::chrono::milliseconds(0));
    seconds = secondsSince(start);
    return completed ? lines : -1;
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int replay(long minutes) {
    BenchWindow window;
    const long lines = minutes * 60;
    std::printf("replaying a %ld-minute burn (%ld progress lines, one a second)\n", minutes, lines);
    std::fflush(stdout);
    const double cpuBefore = cpuSeconds();
    const Clock::time_point start = Clock::now();
    if (!window.burn(lines, std::chrono::seconds(1))) {
        std::printf("the burn did not complete\n");
        return 1;
    }
    const double wall = secondsSince(start);
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("window process: %.2f s CPU in %.0f s = %.3f %% of a core\n", cpu, wall,
                100.0 * cpu / wall);
    return 0;
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
    setenv("QT_QPA_PLATFORM", "offscreen", 0); // unless a display was chosen
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--replay") == 0)
        return replay(std::strtol(argv[2], nullptr, 10));
    const long lines = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    if (lines <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: %s [LINES [ROUNDS]] | --replay MINUTES\n", argv[0]);
        return 2;
    }
    std::printf("%ld \"PERCENT:n\" lines through a raw pseudo-terminal\n", lines);
    measure("bare reader (read + memchr)", bareReaderLines, lines, rounds);
    measure("TaskWrapper, counting client", taskWrapperLines, lines, rounds);
    measure("window, offscreen", controllerLines, lines, rounds);
    return 0;
}
