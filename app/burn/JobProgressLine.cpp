#include "app/burn/JobProgressLine.h"

#include <QLocale>
#include <cmath>
#include <utility>

namespace emberlin {

namespace {

// "16x" or "2.4x", then the data rate: "16x, 22.2 MB/s".
QString speedText(const BurnTimeTracker::Speed& speed) {
    const double whole = std::round(speed.multiple);
    const QLocale locale;
    const QString times = std::abs(speed.multiple - whole) < 0.05
                              ? locale.toString(whole, 'f', 0)
                              : locale.toString(speed.multiple, 'f', 1);
    return JobProgressLine::tr("%1x, %2 MB/s")
        .arg(times, locale.toString(speed.bytesPerSecond / 1e6, 'f', 1));
}

// Minutes, then seconds under a minute, in steps of five.
QString timeLeftText(double seconds) {
    if (seconds >= 59.5) {
        const long minutes = std::max(1L, std::lround(seconds / 60));
        return minutes == 1 ? JobProgressLine::tr("about 1 minute left")
                            : JobProgressLine::tr("about %1 minutes left").arg(minutes);
    }
    const long fives = std::max(1L, std::lround(std::ceil(seconds / 5)));
    return JobProgressLine::tr("about %1 seconds left").arg(fives * 5);
}

} // namespace

JobProgressLine::JobProgressLine(Show show, SteadyClock clock, QObject* parent)
    : QObject(parent)
    , show_(std::move(show))
    , clock_(std::move(clock)) {
    ticks_.setInterval(std::chrono::seconds(1));
    connect(&ticks_, &QTimer::timeout, this, &JobProgressLine::refresh);
}

double JobProgressLine::now() const {
    return std::chrono::duration<double>(clock_() - started_).count();
}

void JobProgressLine::burnStarted(const QString&, const QString&, const BurnChoices& choices) {
    started_ = clock_();
    tracker_.burnStarted(choices);
}

void JobProgressLine::burnStateChanged(BurnState burnState) {
    tracker_.burnStateChanged(burnState, now());
    if (!tracker_.running()) {
        ticks_.stop();
        show_(QString());
        return;
    }
    ticks_.start();
    refresh();
}

void JobProgressLine::burnProgressed(double fraction) {
    tracker_.burnProgressed(fraction, now());
    refresh();
}

void JobProgressLine::burnFactReported(const QString& line) {
    tracker_.factReported(line, now());
    refresh();
}

void JobProgressLine::refresh() {
    if (!tracker_.running())
        return;
    QStringList parts;
    if (const std::optional<BurnTimeTracker::Speed> speed = tracker_.phaseSpeed())
        parts.append(speedText(*speed));
    if (const std::optional<double> left = tracker_.secondsLeft(now()))
        parts.append(timeLeftText(*left));
    show_(parts.join(u" – "));
    emit jobProgressed(tracker_.jobShareDone());
}

} // namespace emberlin
