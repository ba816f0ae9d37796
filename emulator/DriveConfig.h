// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Medium.h"
#include "emulator/Trigger.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

// The environment variable that hands a program the id of the drive to emulate.
constexpr const char* emulatedDriveVariable = "EMBERLIN_EMULATED_DRIVE";

enum class DiscState { Empty, Blank, Appendable, Full, Unformatted };

// A file whose bytes a disc holds from its first sector on. It is only read.
struct DiscContents {
    std::string path;
    std::int64_t bytes = 0;
    std::int64_t modified = 0; // nanoseconds: a file changed since makes a new disc

    std::int64_t sectors() const;
};

// One disc as a device id describes it, before anything was done to it.
struct DiscDescription {
    Medium medium = Medium::CDR;
    DiscState state = DiscState::Blank;
    std::int64_t capacity = 0; // sectors
    std::int64_t used = 0;     // sectors taken by earlier sessions
    int sessions = 1;
    std::optional<DiscContents> contents; // what the first session (or LBA 0 on) holds
    bool pseudoOverwrite = false;         // a BD-R formatted for pseudo-overwrite

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

// Sectors from `first` to `last`, both included.
struct SectorRange {
    std::int64_t first = 0;
    std::int64_t last = 0;

    bool overlaps(std::int64_t lba, std::int64_t count) const {
        return lba <= last && first < lba + count;
    }
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
    std::optional<Rate> topSpeed; // the rate's top speed, without taking time
    bool busy = false;
    bool manualTray = false; // closed by hand only: the drive cannot load a disc
    // Sectors counted from the start of the track written or read.
    std::optional<std::int64_t> lostAt;
    std::optional<std::int64_t> failAt;
    std::optional<std::int64_t> badSector;
    std::optional<std::int64_t> stallAt;
    std::optional<std::int64_t> stallReadAt;
    std::optional<SectorRange> unreadable; // absolute addresses whose reads fail
    bool cache = false;                    // recent writes are read back from the buffer
    bool denied = false;                   // the device exists, but this user may not open it
    std::optional<std::uint8_t> stallOn;   // the first command with this operation code stalls
    std::optional<Trigger> resume;         // ends a stall
    std::vector<std::uint8_t> refused;     // operation codes the drive does not support
    bool noFastBlank = false;              // minimal blanking refused
    std::optional<std::string> log;        // where every command received is written

    // The configuration, or nullopt with `problem` saying what is wrong with the id.
    static std::optional<DriveConfig> parse(std::string_view id, std::string& problem);
};

} // namespace emulator
