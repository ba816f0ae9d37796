#include "JobProgressLine.h"

#include "BurnState.h"
#include "MainWindow.h"

#include <cmath>
#include <utility>

namespace emberlin {

namespace {

using estimate::Phase;

std::optional<Phase> phaseOf(int burnState) {
    switch (burnState) {
    case BurnStateErasing:
        return Phase::Erase;
    case BurnStateBurning:
        return Phase::Write;
    case BurnStateVerifying:
        return Phase::Verify;
    default:
        return std::nullopt;
    }
}

estimate::EraseKind eraseKindOf(const QString& erase) {
    if (erase == qtText(toolprotocol::eraseFull))
        return estimate::EraseKind::Full;
    if (erase == qtText(toolprotocol::eraseFormat))
        return estimate::EraseKind::Format;
    if (erase == qtText(toolprotocol::eraseFast))
        return estimate::EraseKind::Fast;
    return estimate::EraseKind::None;
}

// "16x" or "2.4x", then the data rate: "16x, 22.2 MB/s".
QString speedText(estimate::Family family, double kilobytesPerSecond) {
    const double multiple = estimate::multipleOfKilobytesPerSecond(family, kilobytesPerSecond);
    const double whole = std::round(multiple);
    const QString times = std::abs(multiple - whole) < 0.05 ? QString::number(whole, 'f', 0)
                                                            : QString::number(multiple, 'f', 1);
    const double megabytes = multiple * estimate::userBytesPerSecondAt1x(family) / 1e6;
    return JobProgressLine::tr("%1x, %2 MB/s").arg(times, QString::number(megabytes, 'f', 1));
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

JobProgressLine::JobProgressLine(MainWindow& window, BurnClock clock, QObject* parent)
    : QObject(parent)
    , window_(window)
    , clock_(std::move(clock)) {
    ticks_.setInterval(std::chrono::seconds(1));
    connect(&ticks_, &QTimer::timeout, this, &JobProgressLine::refresh);
}

double JobProgressLine::now() const {
    return static_cast<double>(started_.msecsTo(clock_())) / 1000.0;
}

void JobProgressLine::burnStarted(const QString&, const QString&, const BurnChoices& choices) {
    started_ = clock_();
    choices_ = choices;
    facts_ = {};
    family_.reset();
    phase_.reset();
    estimator_.emplace(choices.verify);
}

void JobProgressLine::burnStateChanged(int burnState) {
    phase_ = estimator_ ? phaseOf(burnState) : std::nullopt;
    if (!phase_) {
        ticks_.stop();
        window_.hideJobProgress();
        return;
    }
    bytesCounted_ = false;
    estimator_->enterPhase(*phase_, now());
    ticks_.start();
    refresh();
}

void JobProgressLine::burnProgressed(double fraction) {
    if (!phase_ || bytesCounted_)
        return;
    estimator_->progressed(fraction, now());
    refresh();
}

void JobProgressLine::burnFactReported(const QString& line) {
    if (!estimator_)
        return;
    const ToolFacts before = facts_;
    readFactLine(line, facts_);
    takeJob();
    if (!phase_ || !facts_.imageBytes || *facts_.imageBytes <= 0)
        return;
    const std::optional<qint64>& bytes =
        *phase_ == Phase::Verify ? facts_.bytesVerified : facts_.bytesWritten;
    const std::optional<qint64>& bytesBefore =
        *phase_ == Phase::Verify ? before.bytesVerified : before.bytesWritten;
    if (*phase_ == Phase::Erase || !bytes || bytes == bytesBefore)
        return;
    bytesCounted_ = true;
    estimator_->progressed(static_cast<double>(*bytes) / static_cast<double>(*facts_.imageBytes),
                           now());
    refresh();
}

void JobProgressLine::takeJob() {
    const std::optional<estimate::MediumKind> kind =
        estimate::mediumKindNamed(facts_.medium.toStdString());
    if (!kind || !facts_.imageBytes || !facts_.writeKilobytesPerSecond)
        return;
    family_ = kind->family;
    estimate::BurnJob job;
    job.family = kind->family;
    job.layers = kind->layers;
    job.sequential = kind->sequential;
    job.capacityBytes = facts_.capacity.value_or(0);
    job.imageBytes = *facts_.imageBytes;
    job.writeMultiple = estimate::multipleOfKilobytesPerSecond(
        kind->family, static_cast<double>(*facts_.writeKilobytesPerSecond));
    job.readMultiple = estimate::multipleOfKilobytesPerSecond(
        kind->family, static_cast<double>(
                          facts_.readKilobytesPerSecond.value_or(*facts_.writeKilobytesPerSecond)));
    job.erase = eraseKindOf(facts_.erase);
    job.verify = choices_.verify;
    estimator_->setJob(job);
}

void JobProgressLine::refresh() {
    if (!phase_)
        return;
    QStringList parts;
    const std::optional<qint64> kilobytes =
        *phase_ == Phase::Verify ? facts_.readKilobytesPerSecond : facts_.writeKilobytesPerSecond;
    if (family_ && kilobytes)
        parts.append(speedText(*family_, static_cast<double>(*kilobytes)));
    if (const std::optional<double> left = estimator_->secondsLeft(now()))
        parts.append(timeLeftText(*left));
    if (parts.isEmpty())
        window_.hideJobProgress();
    else
        window_.showJobProgress(parts.join(u" – "));
}

} // namespace emberlin
