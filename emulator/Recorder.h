// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/BackgroundJob.h"
#include "emulator/BackingStore.h"
#include "emulator/Bytes.h"
#include "emulator/Disc.h"
#include "emulator/DriveConfig.h"
#include "emulator/Faults.h"
#include "emulator/ModePages.h"
#include "emulator/Pacer.h"
#include "emulator/RateModel.h"
#include "emulator/ReadCache.h"
#include "emulator/Reply.h"
#include "emulator/Trigger.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace emulator {

// The disc in the drive and where its bytes are.
struct LoadedDisc {
    Disc& disc;
    BackingStore& store;
};

// The commands that write, read, close, blank and format, by the rules of
// the disc: how long each takes (the rate model, kept to by the pacer),
// which faults it meets, and what goes on after it answered.
class Recorder {
public:
    // `cachedSectors`: how many of the sectors written last the drive
    // answers reads of from its buffer.
    Recorder(const DriveConfig& config, RateModel& rates, Pacer& pacer, Faults& faults,
             std::size_t cachedSectors);

    Reply write(LoadedDisc loaded, std::int64_t lba, std::span<const std::uint8_t> data);
    // `forceUnitAccess`: from the disc, never from the buffer.
    Reply read(LoadedDisc loaded, std::int64_t lba, std::span<std::uint8_t> data,
               bool forceUnitAccess);
    Reply synchronize(LoadedDisc loaded);
    Reply close(LoadedDisc loaded, int function, bool immediate, const Moment& now);
    Reply reserve(LoadedDisc loaded, std::int64_t sectors);
    Reply takeCueSheet(LoadedDisc loaded, std::span<const std::uint8_t> sheet);
    Reply blank(LoadedDisc loaded, int type, bool immediate, const Moment& now);
    Reply format(LoadedDisc loaded, std::span<const std::uint8_t> list, const Moment& now);

    WriteParameters& parameters() { return parameters_; }
    // A command still running after it answered (Immed), as TEST UNIT READY reports it.
    std::optional<Sense> backgroundWork(const Moment& now) const;
    // Forgets what belonged to the disc that left the drive.
    void discChanged();

private:
    bool sessionsMayFollow(const Disc& disc) const;
    Trigger erasing(Clock::duration duration) const;

    const DriveConfig& config_;
    RateModel& rates_;
    Pacer& pacer_;
    Faults& faults_;
    BackgroundJob background_;
    WriteParameters parameters_;
    ReadCache cache_;
    // Track at once: where a simulated write has got to.
    std::optional<std::int64_t> simulatedNext_;
    // Session at once: the next sector the cue sheet expects, and its tracks.
    std::optional<std::int64_t> sessionAtOnceNext_;
    std::vector<std::size_t> sessionAtOnceTracks_;
    std::optional<std::int64_t> writeOrigin_; // where this run began writing the track
    std::optional<std::int64_t> readOrigin_;
};

} // namespace emulator
