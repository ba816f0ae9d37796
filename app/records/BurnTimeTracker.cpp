#include "app/records/BurnTimeTracker.h"

#include "media/MediumFacts.h"
#include "tool/BurnState.h"

namespace emberlin {

namespace {

using estimate::Phase;

std::optional<Phase> phaseOf(BurnState burnState) {
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

} // namespace

void BurnTimeTracker::burnStarted(const BurnChoices& choices) {
    choices_ = choices;
    facts_ = {};
    job_.reset();
    writeSpeedKnown_ = true;
    phase_.reset();
    estimator_.emplace(choices.verify);
}

void BurnTimeTracker::burnStateChanged(BurnState burnState, double now) {
    phase_ = estimator_ ? phaseOf(burnState) : std::nullopt;
    if (!phase_)
        return;
    bytesCounted_ = false;
    estimator_->enterPhase(*phase_, now);
    takeJob();
}

void BurnTimeTracker::burnProgressed(double fraction, double now) {
    if (phase_ && !bytesCounted_)
        estimator_->progressed(fraction, now);
}

void BurnTimeTracker::factReported(const QString& line, double now) {
    if (!estimator_)
        return;
    const ToolFacts before = facts_;
    readFactLine(line, facts_);
    takeJob();
    if (!phase_ || *phase_ == Phase::Erase || !facts_.imageBytes || *facts_.imageBytes <= 0)
        return;
    const bool verifying = *phase_ == Phase::Verify;
    const std::optional<qint64>& bytes = verifying ? facts_.bytesVerified : facts_.bytesWritten;
    if (!bytes || bytes == (verifying ? before.bytesVerified : before.bytesWritten))
        return;
    // Bytes are finer than the per cents beside them.
    bytesCounted_ = true;
    estimator_->progressed(static_cast<double>(*bytes) / static_cast<double>(*facts_.imageBytes),
                           now);
}

void BurnTimeTracker::takeJob() {
    const std::optional<media::Medium> named = media::mediumWithId(facts_.medium.toStdString());
    if (!named || !facts_.imageBytes)
        return;
    const media::MediumFacts& medium = media::factsOf(*named);
    estimate::BurnJob job = estimate::jobOn(medium);
    job.capacityBytes = facts_.capacity.value_or(0);
    job.imageBytes = *facts_.imageBytes;
    // While erasing, before the tool says what the drive took, the speed
    // asked for; with the drive's maximum asked for, the medium's usual top
    // speed stands in until the erase's pace measures the drive. A write's
    // speeds follow at once.
    bool speedKnown = true;
    if (facts_.writeKilobytesPerSecond) {
        job.writeMultiple = estimate::multipleOfKilobytesPerSecond(
            medium.family, static_cast<double>(*facts_.writeKilobytesPerSecond));
    } else if (phase_ != Phase::Erase) {
        return;
    } else {
        bool numeric = false;
        const double asked = speedValueForTitle(choices_.speedTitle).toDouble(&numeric);
        job.writeMultiple = numeric ? asked : medium.maxWriteSpeed;
        speedKnown = numeric;
    }
    job.readMultiple = facts_.readKilobytesPerSecond
                           ? estimate::multipleOfKilobytesPerSecond(
                                 medium.family, static_cast<double>(*facts_.readKilobytesPerSecond))
                           : medium.maxReadSpeed;
    job.erase = eraseKindOf(facts_.erase);
    job.verify = choices_.verify;
    job_ = job;
    writeSpeedKnown_ = speedKnown;
    estimator_->setJob(job, speedKnown);
}

std::optional<BurnTimeTracker::Speed> BurnTimeTracker::phaseSpeed() const {
    const bool verifying = phase_ == Phase::Verify;
    if (!phase_ || !job_ || (!verifying && !writeSpeedKnown_))
        return std::nullopt;
    const double multiple = verifying ? job_->readMultiple : job_->writeMultiple;
    return Speed{multiple, multiple * estimate::userBytesPerSecondAt1x(job_->family)};
}

std::optional<double> BurnTimeTracker::secondsLeft(double now) {
    return estimator_ ? estimator_->secondsLeft(now) : std::nullopt;
}

double BurnTimeTracker::jobShareDone() {
    return estimator_ ? estimator_->jobShareDone() : 0;
}

} // namespace emberlin
