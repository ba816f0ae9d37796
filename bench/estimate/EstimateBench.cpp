// Burns simulated CD, DVD and BD discs at several speeds with emberlin-disctool
// on emulated drives that take a real drive's time, keeps each line with its
// arrival time, and replays them into the window's time estimate as the
// window would see them, its clock ticking each second. Prints the estimate's
// error at 10 %, 50 % and 90 % of the job against the job's real end, with
// the tool's facts and without them (as with macOS's tool), and the job's
// real time against the model's.
//
// Usage: emberlin-bench-estimate [CASE-NAME...]

#include "app/records/BurnTimeTracker.h"
#include "estimate/BurnJob.h"
#include "tool/FactLine.h"
#include "tool/ProgressInterpreter.h"
#include "tool/ToolQuestion.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <optional>
#include <variant>
#include <vector>

using namespace emberlin;

namespace {

struct Case {
    const char* name;
    const char* medium; // emulated drive parameters after "medium="
    const char* speed;  // the window's speed title
    int mebibytes;
    bool erase;
    bool verify;
};

// Small images, 20 to 60 s each.
const Case cases[] = {
    {"CD-R 16x (CLV), verify", "cd-r&rate=16x", "16x", 40, false, true},
    {"CD-RW 24x (CAV), fast erase", "cd-rw&state=full&rate=24x", "24x", 40, true, false},
    {"DVD+R 8x (CAV), verify", "dvd+r&rate=8x", "8x", 160, false, true},
    {"DVD-R 4x (CLV)", "dvd-r&rate=4x", "4x", 160, false, false},
    {"BD-R 2x (CLV), verify", "bd-r&rate=2x", "2x", 200, false, true},
    {"DVD-RW 4x, fast erase, verify", "dvd-rw&state=full&rate=4x", "4x", 100, true, true},
    {"BD-RE 6x (CAV), overwritten", "bd-re&state=full&rate=6x", "6x", 300, true, false},
};

struct Line {
    double at; // seconds since the tool started
    QString text;
};

std::vector<Line> burn(const Case& c, const QString& image, const QString& disc) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    const BurnChoices choices{false, c.verify, c.erase, c.speed};
    QStringList arguments =
        burnArguments(QString(), image, choices,
                      QString("sim:%1?medium=%2").arg(disc, QString::fromLatin1(c.medium)));
    arguments.removeFirst();
    QElapsedTimer clock;
    std::vector<Line> lines;
    QByteArray pending;
    tool.start(EMBERLIN_DISCTOOL, arguments);
    // Told to ask before erasing a disc that holds data, as the window tells
    // it: the answer waits in the pipe.
    tool.write(eraseAnswer(true).toUtf8());
    clock.start();
    while (tool.state() != QProcess::NotRunning || tool.bytesAvailable() > 0) {
        tool.waitForReadyRead(100);
        pending += tool.readAll();
        const double at = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            lines.push_back({at, QString::fromUtf8(pending.left(end))});
    }
    return lines;
}

struct Replay {
    double jobStart = -1; // the first phase's start
    double jobEnd = -1;   // the closing line
    std::optional<double> modelled;
    // The time left shown at each tick and each line.
    std::vector<std::pair<double, double>> shown;
};

// The lines as the window interprets them, with the tracker it feeds.
Replay replay(const Case& c, const std::vector<Line>& lines, bool withFacts) {
    BurnTimeTracker tracker;
    const BurnChoices choices{false, c.verify, c.erase, c.speed};
    tracker.burnStarted(choices);
    InterpreterInput state{BurnStateReady, false, c.erase, false};
    Replay result;
    double nextTick = 0;
    const auto record = [&](double at) {
        if (tracker.running())
            if (const std::optional<double> left = tracker.secondsLeft(at - result.jobStart))
                result.shown.emplace_back(at, *left);
    };
    for (const Line& line : lines) {
        for (; nextTick < line.at; nextTick += 1)
            if (result.jobStart >= 0)
                record(nextTick);
        const double now = result.jobStart >= 0 ? line.at - result.jobStart : 0;
        if (isFactLine(line.text)) {
            if (withFacts)
                tracker.factReported(line.text, now);
            continue;
        }
        for (const InterpreterEffect& effect : interpretLine(line.text, state)) {
            if (const auto* move = std::get_if<effect::SetBurnState>(&effect)) {
                state.burnState = move->state;
                if (result.jobStart < 0 && burnWriting(move->state))
                    result.jobStart = line.at;
                tracker.burnStateChanged(move->state, line.at - std::max(0.0, result.jobStart));
            } else if (const auto* value = std::get_if<effect::ProgressValue>(&effect)) {
                tracker.burnProgressed(value->fraction, line.at - std::max(0.0, result.jobStart));
            } else if (std::holds_alternative<effect::SetIgnoreOutput>(effect)) {
                state.ignoreOutput = true;
                if (result.jobEnd < 0)
                    result.jobEnd = line.at;
            }
        }
        record(line.at);
    }
    if (tracker.job())
        result.modelled = estimate::jobSeconds(*tracker.job());
    return result;
}

// The estimated end against the real one, in per cent of the job, at a
// share of the job: from the last value shown by then.
std::optional<double> errorAt(const Replay& r, double share) {
    const double job = r.jobEnd - r.jobStart;
    const double at = r.jobStart + share * job;
    std::optional<double> error;
    for (const auto& [when, left] : r.shown) {
        if (when > at)
            break;
        error = 100 * ((at + left - (at - when)) - r.jobEnd) / job;
    }
    return error;
}

QString percent(const std::optional<double>& value) {
    return value ? QString::asprintf("%+6.1f %%", *value) : QString("     n/a");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList only = QCoreApplication::arguments().mid(1);
    QTemporaryDir scratch;
    std::printf("%-30s %8s %8s %7s | %-26s | %-26s\n", "case", "job s", "model s", "diff",
                "error at 10/50/90 %, facts", "without facts");
    for (const Case& c : cases) {
        if (!only.isEmpty() && !only.contains(QString::fromLatin1(c.name)))
            continue;
        const QString image = scratch.filePath(QString("%1.iso").arg(c.mebibytes));
        QFile file(image);
        if (!file.exists()) {
            QByteArray bytes(c.mebibytes * 1024 * 1024, Qt::Uninitialized);
            QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()),
                                          bytes.size() / 4);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return 1;
            file.close();
        }
        const QString disc = scratch.filePath(QString("disc-%1.img").arg(c.name).replace(' ', '_'));
        const std::vector<Line> lines = burn(c, image, disc);
        const Replay facts = replay(c, lines, true);
        const Replay alone = replay(c, lines, false);
        if (facts.jobStart < 0 || facts.jobEnd < 0) {
            std::printf("%-30s the burn did not run: %s\n", c.name,
                        lines.empty() ? "no output" : qPrintable(lines.back().text));
            continue;
        }
        const double job = facts.jobEnd - facts.jobStart;
        const auto row = [&](const Replay& r) {
            return QString("%1 %2 %3")
                .arg(percent(errorAt(r, 0.1)), percent(errorAt(r, 0.5)), percent(errorAt(r, 0.9)));
        };
        std::printf("%-30s %8.1f %8s %7s | %s | %s\n", c.name, job,
                    facts.modelled ? qPrintable(QString::number(*facts.modelled, 'f', 1)) : "n/a",
                    facts.modelled
                        ? qPrintable(QString::asprintf("%+.1f%%", 100 * (job - *facts.modelled) /
                                                                      *facts.modelled))
                        : "n/a",
                    qPrintable(row(facts)), qPrintable(row(alone)));
        std::fflush(stdout);
    }
    std::printf("\ngoals: the estimate within 5 %% of the job from 10 %% on; the job within 2 %% "
                "of the model\n");
    return 0;
}
