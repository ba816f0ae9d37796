#include "estimate/TimeLeftEstimator.h"

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

void TimeLeftEstimator::setJob(const BurnJob& job, bool speedKnown) {
    // A pace measured against another speed says nothing about this one.
    if (job_ && (job.writeMultiple != job_->writeMultiple || speedKnown != speedKnown_)) {
        pace_ = 1;
        paceMeasured_ = false;
    }
    job_ = job;
    speedKnown_ = speedKnown;
}

void TimeLeftEstimator::enterPhase(Phase phase, double now) {
    if (phase_ == phase)
        return;
    // The same drive keeps its pace in the next phase, until measured again.
    if (const std::optional<double> measured = measuredPace()) {
        pace_ = *measured;
        paceMeasured_ = true;
    }
    erased_ = erased_ || phase == Phase::Erase;
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
        const std::optional<double> measured = measuredPace();
        if (!measured && !speedKnown_ && !paceMeasured_)
            return std::nullopt;
        const double pace = measured.value_or(pace_);
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
    if (!estimate) {
        // Counted down as shown, so that a stretch without an estimate does
        // not save up room to rise.
        if (shown_) {
            shown_ = std::max(0.0, *shown_ - std::max(0.0, now - shownAt_));
            shownAt_ = now;
        }
        return shown_;
    }
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

double TimeLeftEstimator::jobShareDone() {
    if (!phase_)
        return shareDone_;
    const double fraction = latest_ ? latest_->fraction : 0;
    std::optional<double> share;
    if (job_) {
        const std::vector<Phase> all = phasesOf(*job_);
        double done = 0;
        for (const Phase phase : all) {
            const double whole = phaseSecondsFrom(*job_, phase, 0);
            if (phase == *phase_) {
                share =
                    (done + whole - phaseSecondsFrom(*job_, phase, fraction)) / jobSeconds(*job_);
                break;
            }
            done += whole;
        }
    } else {
        std::vector<Phase> all{Phase::Write};
        if (erased_)
            all.insert(all.begin(), Phase::Erase);
        if (verifyChosen_)
            all.push_back(Phase::Verify);
        const auto at = std::find(all.begin(), all.end(), *phase_);
        if (at != all.end())
            share = (static_cast<double>(at - all.begin()) + fraction) /
                    static_cast<double>(all.size());
    }
    shareDone_ = std::max(shareDone_, std::clamp(share.value_or(0.0), 0.0, 1.0));
    return shareDone_;
}

} // namespace estimate
