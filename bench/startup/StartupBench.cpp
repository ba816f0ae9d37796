// emberlin-bench-startup [RUNS]: start-up of the real window (construction,
// awakeFromNib with the stand-in tool listing two burners, show, first paint)
// against the same form in a bare QMainWindow, each run in a fresh process,
// alternating. Prints mean and median of both and their ratio.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

struct Figures {
    double mean = 0;
    double median = 0;
};

Figures figuresOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t middle = samples.size() / 2;
    const double median =
        samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
    return {std::accumulate(samples.begin(), samples.end(), 0.0) /
                static_cast<double>(samples.size()),
            median};
}

// One probe run; its microseconds, or a negative number on failure.
double probe(const QString& mode, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(EMBERLIN_STARTUP_PROBE), {mode});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1;
    bool ok = false;
    const double microseconds =
        QString::fromLatin1(process.readAllStandardOutput()).trimmed().toDouble(&ok);
    return ok ? microseconds : -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;

    QTemporaryDir scratch;
    QDir(scratch.path()).mkpath(QStringLiteral("config"));
    QFile listing(QDir(scratch.path()).filePath(QStringLiteral("list.transcript")));
    if (!scratch.isValid() || !listing.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot prepare the scratch folder\n");
        return 1;
    }
    listing.write("line Alpha Writer DVD-RW via USB\nline   IOService:/alpha\n"
                  "line Beta Burner BD-RE via SATA\nline   IOService:/beta\n");
    listing.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("EMBERLIN_FAKE_DIR"), scratch.path());
    environment.insert(QStringLiteral("EMBERLIN_BENCH_TOOL"),
                       QStringLiteral(EMBERLIN_FAKE_DISCTOOL));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       QDir(scratch.path()).filePath(QStringLiteral("config")));

    // One unmeasured run of each warms the file cache.
    probe(QStringLiteral("window"), environment);
    probe(QStringLiteral("bare"), environment);

    std::vector<double> window;
    std::vector<double> bare;
    for (int run = 0; run < runs; ++run) {
        const double real = probe(QStringLiteral("window"), environment);
        const double plain = probe(QStringLiteral("bare"), environment);
        if (real < 0 || plain < 0) {
            std::fprintf(stderr, "a probe run failed\n");
            return 1;
        }
        window.push_back(real / 1000.0);
        bare.push_back(plain / 1000.0);
    }

    const Figures real = figuresOf(window);
    const Figures plain = figuresOf(bare);
    std::printf("start-up to first paint, %d fresh processes each (milliseconds)\n", runs);
    std::printf("  %-40s mean %8.2f  median %8.2f\n", "window with controller, 2 burners",
                real.mean, real.median);
    std::printf("  %-40s mean %8.2f  median %8.2f\n", "bare QMainWindow, same form", plain.mean,
                plain.median);
    std::printf(
        "  ratio                                    mean %8.2f  median %8.2f  (goal <= 1.5)\n",
        real.mean / plain.mean, real.median / plain.median);
    return 0;
}
