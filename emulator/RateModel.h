// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Disc.h"
#include "emulator/DriveConfig.h"
#include "emulator/Trigger.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace emulator {

// Work a drive does on its own, beyond writing and reading the host's data.
enum class DriveJob {
    FastBlank,        // BLANK, minimal: the lead-in, the table of contents, the first track's start
    FullBlank,        // BLANK, all of the disc
    QuickFormat,      // FORMAT UNIT without certification
    CertifyingFormat, // FORMAT UNIT that writes and then checks every block it formats
    CloseTrack,
    CloseSession, // lead-in and lead-out, a DVD's border or lead-out, a BD-R's closing
};

// How fast the drive is and how long its work takes. The drive offers the
// usual speed steps of each medium up to its rating, and picks the highest
// step not above what the host asks for. Low speeds are written at constant
// linear velocity; above them the drive spins at constant angular velocity,
// so the speed rises from the inside of the disc to the outside and reaches
// the nominal figure only at the rim. Without a rate, nothing takes time.
class RateModel {
public:
    // `topSpeed` caps the speeds on offer without making anything take time.
    RateModel(std::optional<Rate> rate, std::optional<Rate> topSpeed);

    bool timed() const { return rate_.has_value(); }
    // Speeds on offer, in kB/s as speed fields count them, fastest first.
    std::vector<std::uint32_t> writeSpeeds(const MediumFacts& medium) const;
    std::uint32_t readSpeed(const MediumFacts& medium) const;
    std::uint32_t currentWriteSpeed(const MediumFacts& medium) const;
    // From SET CD SPEED or SET STREAMING; 0 or more than offered: the fastest.
    void requestWriteSpeed(std::uint32_t kilobytesPerSecond) { requested_ = kilobytesPerSecond; }

    Clock::duration writeTime(const Disc& disc, std::int64_t lba, std::int64_t count) const;
    Clock::duration readTime(const Disc& disc, std::int64_t lba, std::int64_t count) const;
    // How long a job takes on `disc` at the speed chosen (a closing: on the
    // disc as closed); `blocks` is what a certifying format covers.
    Clock::duration jobTime(const Disc& disc, DriveJob job, std::int64_t blocks = 0) const;
    // How far the host's writes may run ahead of the disc: the time the
    // drive's buffer takes to drain onto it, which SYNCHRONIZE CACHE waits for.
    Clock::duration bufferTime(const Disc& disc) const;

private:
    double ratedMultiple(const MediumFacts& medium) const;
    double chosenMultiple(const MediumFacts& medium) const;
    Clock::duration timeAt(const Disc& disc, double multiple, std::int64_t lba,
                           std::int64_t count) const;

    std::optional<Rate> rate_;
    std::optional<Rate> topSpeed_;
    std::uint32_t requested_ = 0;
};

} // namespace emulator
