// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/RateModel.h"

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

// Sectors fill the recorded area at equal area each, and a second layer runs
// back from the rim.
double radiusShare(const Disc& disc, std::int64_t lba) {
    constexpr double inner = media::recordedInnerRadius;
    constexpr double outer = media::recordedOuterRadius;
    const int layers = disc.traits().layers;
    const double perLayer = static_cast<double>(std::max<std::int64_t>(1, disc.capacity / layers));
    double position = std::clamp(static_cast<double>(lba) / perLayer, 0.0, double(layers));
    if (position > 1.0) {
        position = 2.0 - position;
    }
    return std::sqrt(inner * inner + (outer * outer - inner * inner) * position) / outer;
}

// 1x in the kB/s (1000 bytes) that speed fields count.
double kilobytesPerSecondAt1x(Family family) {
    return static_cast<double>(media::speedFieldBytesPerSecondAt1x(family)) / 1000.0;
}

} // namespace

RateModel::RateModel(std::optional<Rate> rate, std::optional<Rate> topSpeed)
    : rate_(rate)
    , topSpeed_(topSpeed ? topSpeed : rate) {}

double RateModel::ratedMultiple(const MediumFacts& medium) const {
    if (!topSpeed_) {
        return medium.maxWriteSpeed;
    }
    if (topSpeed_->multiple > 0) {
        return topSpeed_->multiple;
    }
    return topSpeed_->kilobytesPerSecond / kilobytesPerSecondAt1x(medium.family);
}

std::vector<std::uint32_t> RateModel::writeSpeeds(const MediumFacts& medium) const {
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

std::uint32_t RateModel::readSpeed(const MediumFacts& medium) const {
    return static_cast<std::uint32_t>(
        std::lround(medium.maxReadSpeed * kilobytesPerSecondAt1x(medium.family)));
}

std::uint32_t RateModel::currentWriteSpeed(const MediumFacts& medium) const {
    const std::vector<std::uint32_t> speeds = writeSpeeds(medium);
    for (const std::uint32_t speed : speeds) {
        if (requested_ == 0 || speed <= requested_) {
            return speed;
        }
    }
    return speeds.back();
}

double RateModel::chosenMultiple(const MediumFacts& medium) const {
    return currentWriteSpeed(medium) / kilobytesPerSecondAt1x(medium.family);
}

Clock::duration RateModel::timeAt(const Disc& disc, double multiple, std::int64_t lba,
                                  std::int64_t count) const {
    if (!rate_ || count <= 0) {
        return {};
    }
    const media::FamilyFacts& family = factsOf(disc.traits().family);
    double speed = multiple;
    if (multiple > family.constantLinearLimit) {
        speed = std::max(family.constantLinearLimit, multiple * radiusShare(disc, lba + count / 2));
    }
    const double seconds = static_cast<double>(count * sectorBytes) /
                           (speed * static_cast<double>(family.userBytesPerSecondAt1x));
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
        return writeTime(disc, 0, factsOf(disc.traits().family).quickJobSectors);
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
        // lead-in, or a border; a BD-R's disc management areas. Closing an
        // empty session writes nothing.
        if (disc.closedSessions == 0) {
            return {};
        }
        return writeTime(disc, disc.recordedEnd(),
                         media::closingSectors(disc.traits(), disc.closedSessions - 1));
    }
    return {};
}

Clock::duration RateModel::bufferTime(const Disc& disc) const {
    return writeTime(disc, disc.recordedEnd(),
                     factsOf(disc.traits().family).bufferBytes / sectorBytes);
}

} // namespace emulator
