#include "BurnJob.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace estimate {

namespace {

constexpr std::int64_t sectorBytes = 2048;

// Up to these speeds drives write at constant linear velocity; above them
// the disc turns at a constant rate, and the speed rises with the radius.
double constantLinearLimit(Family family) {
    switch (family) {
    case Family::CD:
        return 16;
    case Family::DVD:
        return 6;
    case Family::BD:
        return 4;
    }
    return 1;
}

// Usual discs: an 80-minute CD, a 4.7 GB DVD, a 25 GB BD, per layer.
std::int64_t usualLayerBytes(Family family) {
    switch (family) {
    case Family::CD:
        return 359849 * sectorBytes;
    case Family::DVD:
        return 2295104 * sectorBytes;
    case Family::BD:
        return 12219392 * sectorBytes;
    }
    return 1;
}

// What a minimal blank or a quick format goes over: a CD's lead-in (1:00,
// 4500 sectors) and first lead-out (1:30, 6750 sectors; ECMA-130), a DVD's
// lead-in and the start of its data zone, a BD's disc management areas.
std::int64_t quickJobBytes(Family family) {
    switch (family) {
    case Family::CD:
        return (4500 + 6750) * sectorBytes;
    case Family::DVD:
        return 16384 * sectorBytes;
    case Family::BD:
        return 8192 * sectorBytes;
    }
    return 0;
}

// The recorded area of a 120 mm disc runs from about 24 mm to 58 mm radius
// (ECMA-130, ECMA-267, BD Part 1); sectors fill it at equal area each, and a
// second layer runs back from the rim. The radius at a byte, as a share of
// the rim's.
double radiusShare(const BurnJob& job, double byte) {
    constexpr double inner = 24.0;
    constexpr double outer = 58.0;
    const double perLayer = static_cast<double>(
        job.capacityBytes > 0 ? job.capacityBytes / job.layers : usualLayerBytes(job.family));
    double position = std::clamp(byte / perLayer, 0.0, double(job.layers));
    if (position > 1.0)
        position = 2.0 - position;
    return std::sqrt(inner * inner + (outer * outer - inner * inner) * position) / outer;
}

double bytesPerSecondAt(const BurnJob& job, double multiple, double byte) {
    const double limit = constantLinearLimit(job.family);
    const double speed =
        multiple > limit ? std::max(limit, multiple * radiusShare(job, byte)) : multiple;
    return speed * userBytesPerSecondAt1x(job.family);
}

// Seconds to go over bytes [from, to) at the multiple; where the speed
// follows the radius, summed over small steps.
double sweepSeconds(const BurnJob& job, double multiple, double from, double to) {
    if (to <= from || multiple <= 0)
        return 0;
    if (multiple <= constantLinearLimit(job.family))
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
    const auto quickJob = static_cast<double>(quickJobBytes(job.family));
    switch (phase) {
    case Phase::Erase: {
        const double whole = static_cast<double>(
            job.capacityBytes > 0 ? job.capacityBytes : usualLayerBytes(job.family) * job.layers);
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

std::optional<MediumKind> mediumKindNamed(std::string_view name) {
    // Closing a first session: a CD's lead-in, lead-out and pregap (1:00,
    // 1:30 and 0:02, Orange Book: 11,400 sectors); a DVD-R's border-out and
    // border-in (about 32 MiB, ECMA-279); a DVD+R's session closure and the
    // next intro (about 8 MiB, ECMA-349); a BD-R's disc management areas.
    // Top write speeds of current drives and discs (48x CD-R, 24x CD-RW, 16x
    // DVD±R, 8x dual-layer DVDs and DVD+RW, 6x DVD-RW, 5x DVD-RAM, 12x BD-R,
    // 2x BD-RE), and their read speeds (48x CD-R, 40x CD-RW, 16x DVD±R, 12x
    // rewritable and dual-layer DVDs, 5x DVD-RAM, 8x BD).
    static constexpr std::array<std::pair<std::string_view, MediumKind>, 12> kinds{{
        {"cd-r", {Family::CD, 1, 11400, 48, 48}},
        {"cd-rw", {Family::CD, 1, 11400, 24, 40}},
        {"dvd-r", {Family::DVD, 1, 16384, 16, 16}},
        {"dvd-r-dl", {Family::DVD, 2, 16384, 8, 12}},
        {"dvd-rw", {Family::DVD, 1, 16384, 6, 12}},
        {"dvd-rw-ro", {Family::DVD, 1, 0, 6, 12}},
        {"dvd+r", {Family::DVD, 1, 4096, 16, 16}},
        {"dvd+r-dl", {Family::DVD, 2, 4096, 8, 12}},
        {"dvd+rw", {Family::DVD, 1, 0, 8, 12}},
        {"dvd-ram", {Family::DVD, 1, 0, 5, 5}},
        {"bd-r", {Family::BD, 1, 8192, 12, 8}},
        {"bd-re", {Family::BD, 1, 0, 2, 8}},
    }};
    for (const auto& [known, kind] : kinds) {
        if (known == name)
            return kind;
    }
    return std::nullopt;
}

double userBytesPerSecondAt1x(Family family) {
    switch (family) {
    case Family::CD:
        return 75.0 * 2048;
    case Family::DVD:
        return 1385000;
    case Family::BD:
        return 4495500;
    }
    return 1;
}

double multipleOfKilobytesPerSecond(Family family, double kilobytesPerSecond) {
    // MMC counts a CD's 1x as 75 raw sectors of 2352 bytes.
    const double at1x = family == Family::CD ? 176.4 : userBytesPerSecondAt1x(family) / 1000;
    return kilobytesPerSecond / at1x;
}

double writtenShareOnDisc(const BurnJob& job, double sentShare) {
    if (job.imageBytes <= 0)
        return sentShare;
    const double buffer = job.family == Family::BD ? 4 * 1024 * 1024 : 2 * 1024 * 1024;
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
