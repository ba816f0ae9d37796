#pragma once

#include "estimate/BurnJob.h"

#include <optional>

namespace estimate {

// The time left for a whole burn, as the window shows it: from the job's
// model before progress comes, then corrected by the progress measured in
// each phase. Without a model (a tool that reports no facts) it goes by
// progress over time alone. The value shown follows the clock and moves
// towards new estimates smoothly: it never jumps, and it grows only slowly
// where the progress says the job takes longer.
// Times are seconds on a steady clock the caller keeps: a clock set to
// another time of day would move the time left with it.
class TimeLeftEstimator {
public:
    explicit TimeLeftEstimator(bool verifyChosen);

    // The model, once the tool has said what it burns. Where the drive's
    // speed is not known yet (it writes at its maximum and has not said which)
    // the job's write speed only stands in for it: times wait for the pace
    // measured against it, the erase's, say.
    void setJob(const BurnJob& job, bool speedKnown = true);
    void enterPhase(Phase phase, double now);
    // How far the current phase is, 0.0 to 1.0.
    void progressed(double fraction, double now);

    // Seconds left to show now; nothing while it cannot be told yet.
    std::optional<double> secondsLeft(double now);
    // How much of the whole job is done, 0.0 to 1.0: by the model's times
    // where there is one, otherwise each phase the burn runs counting alike.
    // It never goes back.
    double jobShareDone();

private:
    std::optional<double> estimateNow(double now) const;
    // The drive's pace against the model's over the current phase's
    // progress: 1.0 as modelled, 2.0 half as fast.
    std::optional<double> measuredPace() const;
    double laterPhasesSeconds() const;

    bool verifyChosen_;
    std::optional<BurnJob> job_;
    bool speedKnown_ = true;
    double pace_ = 1;
    // Whether pace_ was measured, not assumed.
    bool paceMeasured_ = false;
    bool erased_ = false;
    std::optional<Phase> phase_;
    double phaseStart_ = 0;
    // The first and the latest progress of the current phase.
    struct Point {
        double fraction;
        double time;
    };
    std::optional<Point> first_;
    std::optional<Point> latest_;
    std::optional<double> shown_;
    double shownAt_ = 0;
    double shareDone_ = 0;
};

} // namespace estimate
