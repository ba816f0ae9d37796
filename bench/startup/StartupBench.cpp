// emberlin-bench-startup [RUNS]: start-up of the real window (construction,
// awakeFromNib with the bench writer listing two burners, show, first paint,
// burners listed) against the bare window, each run in a fresh process,
// alternating. Prints mean and median of each and the ratio of first paints.
#include <QCoreApplication>
#include <QDir>
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

// One probe run: its figures in microseconds, or none on failure.
std::vector<double> probe(const QString& mode, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(EMBERLIN_STARTUP_PROBE),
                  {mode, QStringLiteral(EMBERLIN_BENCH_WRITER)});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    std::vector<double> figures;
    for (const QString& field :
         QString::fromLatin1(process.readAllStandardOutput()).split(u' ', Qt::SkipEmptyParts))
        figures.push_back(field.toDouble() / 1000.0);
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;

    QTemporaryDir scratch;
    if (!scratch.isValid() || !QDir(scratch.path()).mkpath(QStringLiteral("config"))) {
        std::fprintf(stderr, "cannot prepare the scratch folder\n");
        return 1;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       QDir(scratch.path()).filePath(QStringLiteral("config")));

    // One unmeasured run of each warms the file cache.
    probe(QStringLiteral("window"), environment);
    probe(QStringLiteral("bare"), environment);

    std::vector<double> painted;
    std::vector<double> listed;
    std::vector<double> bare;
    for (int run = 0; run < runs; ++run) {
        const std::vector<double> real = probe(QStringLiteral("window"), environment);
        const std::vector<double> plain = probe(QStringLiteral("bare"), environment);
        if (real.size() != 2 || plain.size() != 1) {
            std::fprintf(stderr, "a probe run failed\n");
            return 1;
        }
        painted.push_back(real[0]);
        listed.push_back(real[1]);
        bare.push_back(plain[0]);
    }

    const Figures real = figuresOf(painted);
    const Figures done = figuresOf(listed);
    const Figures plain = figuresOf(bare);
    std::printf("start-up, %d fresh processes each (milliseconds)\n", runs);
    std::printf("  %-44s mean %8.2f  median %8.2f\n", "window with controller, first paint",
                real.mean, real.median);
    std::printf("  %-44s mean %8.2f  median %8.2f\n", "window with controller, 2 burners listed",
                done.mean, done.median);
    std::printf("  %-44s mean %8.2f  median %8.2f\n", "bare window, first paint", plain.mean,
                plain.median);
    std::printf("  %-44s mean %8.2f  median %8.2f  (goal <= 1.5)\n", "ratio of first paints",
                real.mean / plain.mean, real.median / plain.median);
    return 0;
}
