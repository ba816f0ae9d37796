// emberlin-bench-checksum [GIB]: what checking an image against its published
// SHA-256 adds to a burn. Writes an image of GIB GiB (4 by default) with a
// SHA256SUMS beside it, then times, each three times: the SHA-256 alone, the
// window from opening the image to the tool's start without the checksum file,
// and with it. The check should cost the hashing and nothing more.
#include "app/records/ImageDigest.h"
#include "tests/app/AppHarness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace emberlin;

namespace {

constexpr int runs = 3;

// Seconds from opening the image until the stand-in tool was started.
double secondsToTheBurn(AppHarness& harness, const QString& image) {
    const std::size_t before = harness.fake.burnCalls().size();
    QElapsedTimer timer;
    timer.start();
    harness.controller().openFiles({image});
    if (!harness.waitForBurnCalls(before + 1) || !harness.alerts.shown.empty()) {
        std::fprintf(stderr, "the burn did not start: %s\n", qPrintable(harness.status()));
        std::exit(1);
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    harness.controller().cancel();
    return seconds;
}

double best(const std::function<double()>& measure) {
    double fastest = 1e300;
    for (int run = 0; run < runs; ++run)
        fastest = std::min(fastest, measure());
    return fastest;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const qint64 gibibytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 4;

    AppHarness harness;
    harness.listTwoBurners();
    harness.fake.setBurn({fake::hang()});
    harness.start();
    const QString image = harness.scratchPath("disc.iso");
    QFile file(image);
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator(2026).fillRange(reinterpret_cast<quint32*>(block.data()),
                                     block.size() / int(sizeof(quint32)));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    for (qint64 mebibyte = 0; mebibyte < gibibytes * 1024; ++mebibyte) {
        block[0] = char(mebibyte); // no two blocks alike
        if (file.write(block) != block.size())
            return 1;
    }
    file.close();

    const std::atomic<bool> never = false;
    QString sha256;
    const double hashing = best([&] {
        QElapsedTimer timer;
        timer.start();
        sha256 = sha256OfImage(image, never);
        return double(timer.nsecsElapsed()) / 1e9;
    });
    const double plain = best([&] { return secondsToTheBurn(harness, image); });
    QFile sums(harness.scratchPath("SHA256SUMS"));
    if (!sums.open(QIODevice::WriteOnly) || sums.write((sha256 + "  disc.iso\n").toUtf8()) < 0)
        return 1;
    sums.close();
    const double checked = best([&] { return secondsToTheBurn(harness, image); });

    const double gib = double(gibibytes);
    std::printf("image: %lld GiB, best of %d runs\n", gibibytes, runs);
    std::printf("SHA-256 alone:                     %7.3f s  (%.0f MiB/s)\n", hashing,
                gib * 1024 / hashing);
    std::printf("open to tool start, no checksum:   %7.3f s\n", plain);
    std::printf("open to tool start, SHA256SUMS:    %7.3f s\n", checked);
    std::printf("delay beyond the hashing:          %7.3f s\n", checked - plain - hashing);
    QFile::remove(image);
    return 0;
}
