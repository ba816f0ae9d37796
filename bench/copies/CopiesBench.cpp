// emberlin-bench-copies [N...]: burns and verifies one 512 MiB image to N
// emulated BD-R drives at 4x at once through the copies window of the app,
// offscreen, for N = 1, 2, 4 and 8 unless told otherwise. Prints for each N the
// time from Burn to the summary, the app's own CPU time (the tools' is their
// own) in per cent of a core per drive, and how far its resident memory rose
// above where it stood before the drives were listed, per drive.
// Goals: N = 4 within 1.10 x the time of N = 1; under 2 % of a core and under
// 10 MB per drive.
#include "tests/app/AppHarness.h"
#include "views/CopyBurnerRow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

using namespace emberlin;

namespace {

constexpr qint64 imageBytes = 512 * 1024 * 1024;
const QByteArray driveParameters = "?medium=bd-r&rate=4x";

double residentMegabytes() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.value(1).toDouble() * double(::sysconf(_SC_PAGESIZE)) / 1e6;
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool writeImage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk(16 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(512);
    for (qint64 written = 0; written < imageBytes; written += chunk.size()) {
        generator.fillRange(reinterpret_cast<quint32*>(chunk.data()), chunk.size() / 4);
        if (file.write(chunk) != chunk.size())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::vector<int> counts;
    for (const QString& argument : QCoreApplication::arguments().mid(1))
        counts.push_back(argument.toInt());
    if (counts.empty())
        counts = {1, 2, 4, 8};

    AppHarness::Options realTool;
    realTool.toolPath = EMBERLIN_DISCTOOL;
    AppHarness harness(realTool);
    const QString image = harness.scratchPath("copies.iso");
    if (!writeImage(image)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(image));
        return 1;
    }
    harness.start();
    harness.window().findChild<QAction*>("burnCopiesAction")->trigger();
    CopyBurnController& copies = harness.copies();
    emit harness.copiesWindow().imageChosen(image);

    std::printf("$ %s\n", qPrintable(QCoreApplication::arguments().join(u' ')));
    std::printf("%3s %9s %10s %16s %18s  %s\n", "N", "time s", "x N=1", "CPU % per drive",
                "MB more per drive", "summary");
    std::optional<double> single;
    for (const int count : counts) {
        QStringList discs;
        QByteArrayList ids;
        for (int drive = 0; drive < count; ++drive) {
            discs.append(harness.scratchPath(QString("disc-%1-%2.img").arg(count).arg(drive)));
            ids.append("sim:" + QFile::encodeName(discs.back()) + driveParameters);
        }
        qputenv("EMBERLIN_VIRTUAL_BURNERS", ids.join(';'));
        const double before = residentMegabytes();
        harness.controller().reloadBurners();
        if (!waitFor([&] { return copies.copies().size() == std::size_t(count); })) {
            std::fprintf(stderr, "the drives were not listed\n");
            return 1;
        }
        for (const auto& copy : copies.copies())
            copy->row().setChecked(true);

        QString summary;
        QEventLoop ended;
        const auto connection = QObject::connect(&copies, &CopyBurnController::burnEnded,
                                                 [&](bool, const QString& text) {
                                                     summary = text;
                                                     ended.quit();
                                                 });
        double peak = residentMegabytes();
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout,
                         [&] { peak = std::max(peak, residentMegabytes()); });
        sampler.start(100);
        const double cpuBefore = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        emit harness.copiesWindow().burnClicked();
        ended.exec();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        const double cpu = cpuSeconds() - cpuBefore;
        sampler.stop();
        QObject::disconnect(connection);
        if (!single)
            single = seconds;
        std::printf("%3d %9.1f %10.2f %16.2f %18.1f  %s\n", count, seconds, seconds / *single,
                    100 * cpu / seconds / count, (peak - before) / count, qPrintable(summary));
        std::fflush(stdout);
        for (const QString& disc : discs) {
            QFile::remove(disc);
            QFile::remove(disc + ".state");
        }
    }
    std::printf("\ngoals: N = 4 within 1.10 x N = 1; under 2 %% of a core and 10 MB per drive\n");
    return 0;
}
