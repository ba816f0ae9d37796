// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Drive.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace disctool {

// The media a simulated drive knows.
enum class SimulatedMediumKind { CDR, CDRW, DVDMinusR, DVDPlusR, DVDMinusRW, BDR };

struct SimulatedMediumTraits {
    std::string_view name; // as written in a device id
    std::string_view profileName;
    MediumKind kind;
    bool canSimulate;
    std::int64_t capacity; // bytes of a common disc of this kind
};

const SimulatedMediumTraits& traitsOf(SimulatedMediumKind kind);

// One disc that the simulated drive will hold.
struct SimulatedDisc {
    SimulatedMediumKind kind = SimulatedMediumKind::CDR;
    DiscStatus state = DiscStatus::Blank; // Blank, Appendable or Full
    std::int64_t capacity = 0;
    std::int64_t used = 0; // bytes taken by earlier sessions
};

// A simulated drive, as described by its device id:
//   sim:PATH?medium=cd-rw&state=full&insert-after=500ms&...
// PATH is the file that libburn really writes and reads. The discs arrive one
// after another: each ejected disc is followed by the next one (comma lists in
// medium, state, capacity and used), and after the last one the drive stays
// empty.
struct SimulatedDriveConfig {
    static constexpr std::string_view prefix = "sim:";

    std::string backingPath;
    std::vector<SimulatedDisc> discs;
    std::chrono::milliseconds insertAfter{0};
    std::chrono::milliseconds eraseTime{1000};
    bool busy = false;
    std::optional<std::int64_t> lostAtSector; // the drive disappears while writing it
    std::optional<std::int64_t> failAtSector; // writing it fails
    std::optional<std::int64_t> badSector;    // reads back wrong

    // The configuration, or nullopt with `problem` saying what is wrong with the id.
    static std::optional<SimulatedDriveConfig> parse(std::string_view id, std::string& problem);
};

} // namespace disctool
