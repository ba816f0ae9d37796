#pragma once

#include "estimate/BurnJob.h"
#include "estimate/TimeLeftEstimator.h"
#include "tool/BurnCommand.h"
#include "tool/BurnState.h"
#include "tool/FactLine.h"

#include <optional>

namespace emberlin {

// Follows a burn for its time estimate: the burn states give the phases, the
// tool's facts give the job's model and the bytes done, the progress values
// the rest. Times are seconds since the burn started.
class BurnTimeTracker {
public:
    void burnStarted(const BurnChoices& choices);
    void burnStateChanged(BurnState burnState, double now);
    void burnProgressed(double fraction, double now);
    void factReported(const QString& line, double now);

    // Whether the burn erases, writes or verifies now.
    bool running() const { return phase_.has_value(); }
    // The model, once the facts tell it.
    const std::optional<estimate::BurnJob>& job() const { return job_; }
    // The current phase's speed as a multiple of 1x, and its data rate.
    struct Speed {
        double multiple;
        double bytesPerSecond;
    };
    std::optional<Speed> phaseSpeed() const;
    std::optional<double> secondsLeft(double now);
    // The whole job's progress, 0.0 to 1.0, never going back.
    double jobShareDone();

private:
    void takeJob();

    BurnChoices choices_;
    ToolFacts facts_;
    std::optional<estimate::BurnJob> job_;
    std::optional<estimate::TimeLeftEstimator> estimator_;
    std::optional<estimate::Phase> phase_;
    // Whether the tool counts this phase's progress in bytes.
    bool bytesCounted_ = false;
    // Whether the job's write speed is the drive's, not a stand-in.
    bool writeSpeedKnown_ = true;
};

} // namespace emberlin
