// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Medium.h"
#include "Trigger.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

// The environment variable that hands a program the id of the drive to
// emulate, and the library that emulates it, beside the program using it.
constexpr const char* emulatedDriveVariable = "EMBERLIN_EMULATED_DRIVE";
constexpr const char* emulatorLibraryName = "libemberlin-emulator.so";

enum class DiscState { Empty, Blank, Appendable, Full, Unformatted };

// One disc as a device id describes it, before anything was done to it.
struct DiscDescription {
    Medium medium = Medium::CDR;
    DiscState state = DiscState::Blank;
    std::int64_t capacity = 0; // sectors
    std::int64_t used = 0;     // sectors taken by earlier sessions
    int sessions = 1;

    // The description as text: a disc remembered from an earlier run belongs
    // to the same device id only while this stays the same.
    std::string origin() const;
};

// The write speed of the emulated drive, in multiples of the medium's 1x or
// in kB/s; with it, every command takes the time a drive of that speed would.
struct Rate {
    double multiple = 0;
    double kilobytesPerSecond = 0;
};

// An emulated drive, as described by its device id:
//   sim:PATH?medium=cd-rw&state=full&insert-after=500ms&...
// PATH holds the bytes of the first disc (further discs: PATH.2, PATH.3, ...)
// and PATH.state what the drive did to them. The discs arrive one after
// another: each ejected disc is followed by the next one, and after the last
// one the drive stays empty.
struct DriveConfig {
    static constexpr std::string_view prefix = "sim:";

    std::string path;
    std::vector<DiscDescription> discs;
    Trigger insertAfter = Trigger::after({});
    std::optional<Trigger> noMediumFor; // after each loading
    std::optional<Trigger> unready;     // "becoming ready" after each loading
    std::optional<Trigger> eraseTime;   // blanking and formatting
    std::optional<Rate> rate;
    bool busy = false;
    // Sectors counted from the start of the track written or read.
    std::optional<std::int64_t> lostAt;
    std::optional<std::int64_t> failAt;
    std::optional<std::int64_t> badSector;
    std::optional<std::int64_t> stallAt;
    std::optional<std::int64_t> stallReadAt;
    std::optional<Trigger> resume; // ends a stall

    // The configuration, or nullopt with `problem` saying what is wrong with the id.
    static std::optional<DriveConfig> parse(std::string_view id, std::string& problem);
    // Why the drive may not keep its discs in `path`, if it may not: the file
    // holds data and was never an emulated disc, so it may be somebody's file.
    std::optional<std::string> backingFileProblem() const;
};

} // namespace emulator
