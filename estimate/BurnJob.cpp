#include "estimate/BurnJob.h"

#include <algorithm>
#include <cmath>

namespace estimate {

namespace {

using media::sectorBytes;

const media::FamilyFacts& factsOf(const BurnJob& job) {
    return media::factsOf(job.family);
}

// Sectors fill the recorded area at equal area each, and a second layer runs
// back from the rim. The radius at a byte, as a share of the rim's.
double radiusShare(const BurnJob& job, double byte) {
    constexpr double inner = media::recordedInnerRadius;
    constexpr double outer = media::recordedOuterRadius;
    const double perLayer =
        static_cast<double>(job.capacityBytes > 0 ? job.capacityBytes / job.layers
                                                  : factsOf(job).usualLayerSectors * sectorBytes);
    double position = std::clamp(byte / perLayer, 0.0, double(job.layers));
    if (position > 1.0)
        position = 2.0 - position;
    return std::sqrt(inner * inner + (outer * outer - inner * inner) * position) / outer;
}

double bytesPerSecondAt(const BurnJob& job, double multiple, double byte) {
    const double limit = factsOf(job).constantLinearLimit;
    const double speed =
        multiple > limit ? std::max(limit, multiple * radiusShare(job, byte)) : multiple;
    return speed * userBytesPerSecondAt1x(job.family);
}

// Seconds to go over bytes [from, to) at the multiple; where the speed
// follows the radius, summed over small steps.
double sweepSeconds(const BurnJob& job, double multiple, double from, double to) {
    if (to <= from || multiple <= 0)
        return 0;
    if (multiple <= factsOf(job).constantLinearLimit)
        return (to - from) / bytesPerSecondAt(job, multiple, from);
    constexpr int steps = 256;
    const double step = (to - from) / steps;
    double seconds = 0;
    for (int i = 0; i < steps; ++i)
        seconds += step / bytesPerSecondAt(job, multiple, from + (i + 0.5) * step);
    return seconds;
}

struct Sweep {
    double multiple;
    double from;
    double bytes;
};

Sweep sweepOf(const BurnJob& job, Phase phase) {
    const auto image = static_cast<double>(job.imageBytes);
    const auto quickJob = static_cast<double>(factsOf(job).quickJobSectors * sectorBytes);
    switch (phase) {
    case Phase::Erase: {
        const double whole = static_cast<double>(
            job.capacityBytes > 0 ? job.capacityBytes
                                  : factsOf(job).usualLayerSectors * sectorBytes * job.layers);
        return {job.writeMultiple, 0, job.erase == EraseKind::Full ? whole : quickJob};
    }
    case Phase::Write:
        return {job.writeMultiple, 0, image};
    case Phase::Close:
        return {job.writeMultiple, image, static_cast<double>(job.closingSectors * sectorBytes)};
    case Phase::Verify:
        return {job.readMultiple, 0, image};
    }
    return {1, 0, 0};
}

} // namespace

BurnJob jobOn(const media::MediumFacts& medium) {
    BurnJob job;
    job.family = medium.family;
    job.layers = medium.layers;
    job.closingSectors = media::closingSectors(medium);
    return job;
}

double userBytesPerSecondAt1x(Family family) {
    return static_cast<double>(media::factsOf(family).userBytesPerSecondAt1x);
}

double multipleOfKilobytesPerSecond(Family family, double kilobytesPerSecond) {
    return kilobytesPerSecond * 1000 /
           static_cast<double>(media::speedFieldBytesPerSecondAt1x(family));
}

double writtenShareOnDisc(const BurnJob& job, double sentShare) {
    if (job.imageBytes <= 0)
        return sentShare;
    const auto buffer = static_cast<double>(factsOf(job).bufferBytes);
    return std::max(0.0, sentShare - buffer / static_cast<double>(job.imageBytes));
}

std::vector<Phase> phasesOf(const BurnJob& job) {
    std::vector<Phase> phases;
    if (job.erase != EraseKind::None)
        phases.push_back(Phase::Erase);
    phases.push_back(Phase::Write);
    if (job.closingSectors > 0)
        phases.push_back(Phase::Close);
    if (job.verify)
        phases.push_back(Phase::Verify);
    return phases;
}

double phaseSecondsFrom(const BurnJob& job, Phase phase, double fraction) {
    // The host learns that the drive has ended a job of its own (draining
    // the buffer, closing, blanking, formatting) by asking it every half
    // second (libburn's wait loops), and waits once more as it releases the
    // drive after the last phase.
    constexpr double hostWait = 0.5;
    const Sweep sweep = sweepOf(job, phase);
    const double done = sweep.bytes * std::clamp(fraction, 0.0, 1.0);
    const bool last = phasesOf(job).back() == phase;
    return sweepSeconds(job, sweep.multiple, sweep.from + done, sweep.from + sweep.bytes) +
           hostWait * (last ? 2 : 1);
}

double jobSeconds(const BurnJob& job) {
    double seconds = 0;
    for (const Phase phase : phasesOf(job))
        seconds += phaseSecondsFrom(job, phase, 0);
    return seconds;
}

} // namespace estimate
