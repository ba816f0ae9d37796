// SPDX-License-Identifier: GPL-3.0-or-later
#include "RateModel.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace emulator {

namespace {

// The usual steps of each medium, in multiples of 1x.
constexpr double cdSteps[] = {4, 8, 10, 16, 20, 24, 32, 40, 48, 52};
constexpr double dvdSteps[] = {1, 2, 2.4, 4, 5, 6, 8, 12, 16, 18, 20, 22, 24};
constexpr double bdSteps[] = {1, 2, 4, 6, 8, 10, 12, 14, 16};

std::span<const double> stepsOf(Family family) {
    switch (family) {
    case Family::CD:
        return cdSteps;
    case Family::DVD:
        return dvdSteps;
    case Family::BD:
        return bdSteps;
    }
    return cdSteps;
}

// Up to these speeds drives write at constant linear velocity.
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

// The recorded area of a 120 mm disc runs from about 24 mm to 58 mm radius
// (ECMA-130, ECMA-267, BD Part 1); sectors fill it at equal area each, and a
// second layer runs back from the rim.
double radiusShare(const Disc& disc, std::int64_t lba) {
    constexpr double inner = 24.0;
    constexpr double outer = 58.0;
    const int layers = disc.traits().layers;
    const double perLayer = static_cast<double>(std::max<std::int64_t>(1, disc.capacity / layers));
    double position = std::clamp(static_cast<double>(lba) / perLayer, 0.0, double(layers));
    if (position > 1.0) {
        position = 2.0 - position;
    }
    return std::sqrt(inner * inner + (outer * outer - inner * inner) * position) / outer;
}

// What a minimal blank or a quick format goes over: a CD's lead-in (1:00)
// and first lead-out (1:30, ECMA-130), a DVD's lead-in and the start of its
// data zone, a BD's disc management areas (BD Part 1).
std::int64_t quickJobSectors(Family family) {
    switch (family) {
    case Family::CD:
        return 4500 + 6750;
    case Family::DVD:
        return 16384;
    case Family::BD:
        return 8192;
    }
    return 0;
}

// A drive's write buffer, as current drives have it.
std::int64_t bufferBytes(Family family) {
    return family == Family::BD ? 4 * 1024 * 1024 : 2 * 1024 * 1024;
}

} // namespace

RateModel::RateModel(std::optional<Rate> rate, std::optional<Rate> topSpeed)
    : rate_(rate)
    , topSpeed_(topSpeed ? topSpeed : rate) {}

double RateModel::ratedMultiple(const MediumTraits& medium) const {
    if (!topSpeed_) {
        return medium.maxWriteSpeed;
    }
    if (topSpeed_->multiple > 0) {
        return topSpeed_->multiple;
    }
    return topSpeed_->kilobytesPerSecond / kilobytesPerSecondAt1x(medium.family);
}

std::vector<std::uint32_t> RateModel::writeSpeeds(const MediumTraits& medium) const {
    const double rated = ratedMultiple(medium);
    const double unit = kilobytesPerSecondAt1x(medium.family);
    std::vector<std::uint32_t> speeds{static_cast<std::uint32_t>(std::lround(rated * unit))};
    for (const double step : stepsOf(medium.family)) {
        if (step < rated) {
            speeds.push_back(static_cast<std::uint32_t>(std::lround(step * unit)));
        }
    }
    std::sort(speeds.rbegin(), speeds.rend());
    return speeds;
}

std::uint32_t RateModel::readSpeed(const MediumTraits& medium) const {
    return static_cast<std::uint32_t>(
        std::lround(medium.maxReadSpeed * kilobytesPerSecondAt1x(medium.family)));
}

std::uint32_t RateModel::currentWriteSpeed(const MediumTraits& medium) const {
    const std::vector<std::uint32_t> speeds = writeSpeeds(medium);
    for (const std::uint32_t speed : speeds) {
        if (requested_ == 0 || speed <= requested_) {
            return speed;
        }
    }
    return speeds.back();
}

double RateModel::chosenMultiple(const MediumTraits& medium) const {
    return currentWriteSpeed(medium) / kilobytesPerSecondAt1x(medium.family);
}

Clock::duration RateModel::timeAt(const Disc& disc, double multiple, std::int64_t lba,
                                  std::int64_t count) const {
    if (!rate_ || count <= 0) {
        return {};
    }
    const Family family = disc.traits().family;
    double speed = multiple;
    if (multiple > constantLinearLimit(family)) {
        speed =
            std::max(constantLinearLimit(family), multiple * radiusShare(disc, lba + count / 2));
    }
    const double seconds =
        static_cast<double>(count * sectorBytes) / (speed * userBytesPerSecondAt1x(family));
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

Clock::duration RateModel::writeTime(const Disc& disc, std::int64_t lba, std::int64_t count) const {
    return timeAt(disc, chosenMultiple(disc.traits()), lba, count);
}

Clock::duration RateModel::readTime(const Disc& disc, std::int64_t lba, std::int64_t count) const {
    return timeAt(disc, disc.traits().maxReadSpeed, lba, count);
}

Clock::duration RateModel::jobTime(const Disc& disc, DriveJob job, std::int64_t blocks) const {
    switch (job) {
    case DriveJob::FastBlank:
    case DriveJob::QuickFormat:
        // Both go over the lead-in and the start of the data area: about as
        // much as a session's closing writes. A quick format leaves the rest
        // to the drive's background formatting (MMC-5 6.5).
        return writeTime(disc, 0, quickJobSectors(disc.traits().family));
    case DriveJob::FullBlank:
        return writeTime(disc, 0, disc.capacity);
    case DriveJob::CertifyingFormat:
        // Every block is written and read back at the write speed.
        return 2 * writeTime(disc, 0, blocks);
    case DriveJob::CloseTrack:
        // A track's run-out is a few sectors: nothing to wait for.
        return {};
    case DriveJob::CloseSession:
        // What the disc's layout puts between sessions: lead-out and
        // lead-in, or a border. A BD-R has no gap there, but its drive
        // brings the disc management areas up to date.
        return writeTime(disc, disc.recordedEnd(),
                         disc.traits().family == Family::BD ? quickJobSectors(Family::BD)
                                                            : disc.sessionGap());
    }
    return {};
}

Clock::duration RateModel::bufferTime(const Disc& disc) const {
    return writeTime(disc, disc.recordedEnd(), bufferBytes(disc.traits().family) / sectorBytes);
}

} // namespace emulator
