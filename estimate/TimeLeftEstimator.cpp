#include "TimeLeftEstimator.h"

#include <algorithm>

namespace estimate {

namespace {

// Progress over less time than this says little about the speed.
constexpr double minimumMeasuredSeconds = 2;
// How fast the value shown follows a new estimate: the gap closes by this
// many seconds' worth per second.
constexpr double followSeconds = 3;
// Where the progress says the job takes longer, the value shown grows by at
// most this much per second of the clock.
constexpr double riseRate = 2;

} // namespace

TimeLeftEstimator::TimeLeftEstimator(bool verifyChosen)
    : verifyChosen_(verifyChosen) {}

void TimeLeftEstimator::setJob(const BurnJob& job) {
    job_ = job;
}

void TimeLeftEstimator::enterPhase(Phase phase, double now) {
    if (phase_ == phase)
        return;
    // The same drive keeps its pace in the next phase, until measured again.
    pace_ = measuredPace().value_or(pace_);
    phase_ = phase;
    phaseStart_ = now;
    first_.reset();
    latest_.reset();
}

void TimeLeftEstimator::progressed(double fraction, double now) {
    if (!phase_)
        return;
    if (job_ && phase_ == Phase::Write) {
        fraction = writtenShareOnDisc(*job_, fraction);
        if (fraction <= 0)
            return; // the drive's buffer is still filling: nothing is on the disc
    }
    const Point point{std::clamp(fraction, 0.0, 1.0), now};
    // A figure said again tells nothing new; the time since it still counts.
    if (latest_ && point.fraction <= latest_->fraction)
        return;
    if (!first_)
        first_ = point;
    latest_ = point;
}

double TimeLeftEstimator::laterPhasesSeconds() const {
    const std::vector<Phase> all = phasesOf(*job_);
    auto later = std::find(all.begin(), all.end(), *phase_);
    if (later == all.end())
        return 0;
    double seconds = 0;
    for (++later; later != all.end(); ++later)
        seconds += phaseSecondsFrom(*job_, *later, 0);
    return seconds;
}

std::optional<double> TimeLeftEstimator::measuredPace() const {
    if (!job_ || !first_ || !latest_ || latest_->time - first_->time < minimumMeasuredSeconds)
        return std::nullopt;
    const double modelled = phaseSecondsFrom(*job_, *phase_, first_->fraction) -
                            phaseSecondsFrom(*job_, *phase_, latest_->fraction);
    if (modelled <= 0)
        return std::nullopt;
    return std::clamp((latest_->time - first_->time) / modelled, 0.25, 4.0);
}

std::optional<double> TimeLeftEstimator::estimateNow(double now) const {
    if (!phase_)
        return std::nullopt;
    if (job_) {
        const double fraction = latest_ ? latest_->fraction : 0;
        const double since = latest_ ? latest_->time : phaseStart_;
        const double pace = measuredPace().value_or(pace_);
        // Once the last byte is sent, the drive drains its buffer and closes
        // the session by itself: the time left counts down through both.
        const double rest = phaseSecondsFrom(*job_, *phase_, fraction) + laterPhasesSeconds();
        return std::max(0.0, pace * rest - (now - since));
    }
    // Progress over time alone. While erasing, the write's length is not
    // known yet; a verify reads about as long as the write wrote.
    if (!first_ || !latest_ || latest_->time - first_->time < minimumMeasuredSeconds ||
        latest_->fraction <= first_->fraction || *phase_ == Phase::Erase)
        return std::nullopt;
    const double perFraction =
        (latest_->time - first_->time) / (latest_->fraction - first_->fraction);
    const bool verifyFollows = *phase_ == Phase::Write && verifyChosen_;
    const double rest = perFraction * (1 - latest_->fraction + (verifyFollows ? 1 : 0));
    return std::max(0.0, rest - (now - latest_->time));
}

std::optional<double> TimeLeftEstimator::secondsLeft(double now) {
    const std::optional<double> estimate = estimateNow(now);
    if (!estimate)
        return shown_ ? std::optional<double>(std::max(0.0, *shown_ - (now - shownAt_))) : estimate;
    if (!shown_) {
        shown_ = estimate;
        shownAt_ = now;
        return shown_;
    }
    const double elapsed = std::max(0.0, now - shownAt_);
    const double counted = *shown_ - elapsed;
    const double followed =
        counted + (*estimate - counted) * std::min(1.0, elapsed / followSeconds);
    shown_ = std::max(0.0, std::min(followed, *shown_ + riseRate * elapsed));
    shownAt_ = now;
    return shown_;
}

} // namespace estimate
