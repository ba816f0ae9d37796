// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Medium.h"
#include "emulator/Sense.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace emulator {

struct Track {
    int session = 1;
    std::int64_t start = 0;
    std::int64_t written = 0;  // sectors the host wrote
    std::int64_t reserved = 0; // size fixed by RESERVE TRACK or a cue sheet; 0: open-ended
    bool closed = false;
    bool damaged = false; // a write failed in it

    bool operator==(const Track&) const = default;
};

enum class FormatState {
    None,         // unformatted, or a medium without formatting
    Intermediate, // DVD-RW quick-formatted: writable from 0 until the session closes
    Formatted,
};

// A disc's layout and the rules by which a drive records on it: sessions and
// tracks of sequential media, the formatted area of overwritable media.
// Addresses are in 2048-byte sectors.
struct Disc {
    Medium medium = Medium::CDR;
    std::int64_t capacity = 0; // sequential: last possible lead-out; overwritable: largest format
    std::int64_t formatted = 0;
    FormatState formatState = FormatState::None;
    std::vector<Track> tracks;
    int closedSessions = 0;
    bool finalized = false;
    bool incrementalAllowed = true; // a minimally blanked DVD-RW writes at once only
    bool pseudoOverwrite = false;   // a BD-R formatted for pseudo-overwrite (SRM+POW)
    std::int64_t nextStart = 0;     // where the next track's data starts

    bool operator==(const Disc&) const = default;

    const MediumFacts& traits() const { return factsOf(medium); }
    bool overwritable() const { return traits().overwritable; }
    // DVD-R, DVD-R DL and DVD-RW in sequential mode: borders, incremental packets.
    bool dvdMinusSequential() const {
        return medium == Medium::DVDMinusR || medium == Medium::DVDMinusRDualLayer ||
               medium == Medium::DVDMinusRWSequential;
    }

    // Sequential media.
    bool blank() const { return tracks.empty() && !finalized; }
    int sessionCount() const; // with the open or empty session at the end
    const Track* openTrack() const;
    int firstTrackOfLastSession() const;
    int lastTrackNumber() const; // with the invisible track of an appendable disc
    std::int64_t trackSize(const Track& track) const;
    std::int64_t nextWritableAddress() const;
    std::int64_t freeSectors() const;
    std::int64_t recordedEnd() const; // one past the last recorded sector
    std::optional<Sense> acceptWrite(std::int64_t lba, std::int64_t count) const;
    void recordWrite(std::int64_t count);
    std::optional<Sense> reserveTrack(std::int64_t sectors);
    void closeTrack();
    void closeSession(bool keepAppendable);
    // What the drive wrote by itself after the last closed session's data
    // (lead-out and lead-in, or a border); 0 before any session closed.
    std::int64_t sessionGap() const;
    void blankAll(bool minimal);

    // Overwritable media, and formatting of any.
    void format(std::int64_t sectors, bool intermediate);
    // Whether a READ may have these sectors: all of an overwritable disc's
    // format, whose never written blocks read as zeros (as a DVD+RW's that
    // its background format has not reached yet, MMC-5's DVD+RW feature);
    // of a sequential disc only what its tracks recorded. Anything else is
    // LOGICAL BLOCK ADDRESS OUT OF RANGE to the host.
    bool readable(std::int64_t lba, std::int64_t count) const;
};

} // namespace emulator
