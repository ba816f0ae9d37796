// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Disc.h"

#include <algorithm>

namespace emulator {

namespace {

// How tracks on the disc align, and the pregaps and run-outs between them.
const media::FamilyFacts& familyOf(const Disc& disc) {
    return factsOf(disc.traits().family);
}

std::int64_t alignedUp(std::int64_t sectors, std::int64_t align) {
    return (sectors + align - 1) / align * align;
}

} // namespace

int Disc::sessionCount() const {
    return finalized ? closedSessions : closedSessions + 1;
}

const Track* Disc::openTrack() const {
    if (tracks.empty() || tracks.back().closed) {
        return nullptr;
    }
    return &tracks.back();
}

int Disc::firstTrackOfLastSession() const {
    const int session = finalized ? closedSessions : closedSessions + 1;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].session == session) {
            return static_cast<int>(i) + 1;
        }
    }
    return static_cast<int>(tracks.size()) + 1;
}

int Disc::lastTrackNumber() const {
    const bool invisibleTrack = !finalized && openTrack() == nullptr;
    return static_cast<int>(tracks.size()) + (invisibleTrack ? 1 : 0);
}

std::int64_t Disc::trackSize(const Track& track) const {
    if (track.reserved > 0) {
        return track.reserved;
    }
    if (!track.closed) {
        return track.written;
    }
    const media::FamilyFacts& family = familyOf(*this);
    return alignedUp(track.written, family.trackAlignSectors) + family.runOutSectors;
}

std::int64_t Disc::nextWritableAddress() const {
    if (const Track* track = openTrack()) {
        return track->start + track->written;
    }
    return nextStart;
}

std::int64_t Disc::freeSectors() const {
    if (finalized) {
        return 0;
    }
    if (const Track* track = openTrack(); track != nullptr && track->reserved > 0) {
        return track->reserved - track->written;
    }
    return std::max<std::int64_t>(0, capacity - nextWritableAddress());
}

std::int64_t Disc::recordedEnd() const {
    std::int64_t end = 0;
    for (const Track& track : tracks) {
        end = std::max(end, track.start + (track.closed ? trackSize(track) : track.written));
    }
    return end;
}

std::optional<Sense> Disc::acceptWrite(std::int64_t lba, std::int64_t count) const {
    if (overwritable()) {
        if (formatState == FormatState::None) {
            return sense::notFormatted;
        }
        const std::int64_t limit = formatState == FormatState::Intermediate ? capacity : formatted;
        return lba < 0 || lba + count > limit ? std::optional<Sense>(sense::lbaOutOfRange)
                                              : std::nullopt;
    }
    if (finalized || lba != nextWritableAddress()) {
        return sense::invalidWriteAddress;
    }
    const Track* track = openTrack();
    const std::int64_t limit =
        track != nullptr && track->reserved > 0 ? track->start + track->reserved : capacity;
    if (lba + count > limit) {
        return sense::lbaOutOfRange;
    }
    return std::nullopt;
}

void Disc::recordWrite(std::int64_t count) {
    if (openTrack() == nullptr) {
        tracks.push_back(Track{closedSessions + 1, nextStart, 0, 0, false, false});
    }
    tracks.back().written += count;
}

std::optional<Sense> Disc::reserveTrack(std::int64_t sectors) {
    const Track* open = openTrack();
    if (finalized || (open != nullptr && (open->written > 0 || open->reserved > 0))) {
        return sense::commandSequenceError;
    }
    const std::int64_t size = alignedUp(sectors, familyOf(*this).trackAlignSectors);
    if (nextStart + size > capacity) {
        return sense::endOfUserArea;
    }
    if (open == nullptr) {
        tracks.push_back(Track{closedSessions + 1, nextStart, 0, 0, false, false});
    }
    tracks.back().reserved = size;
    return std::nullopt;
}

void Disc::closeTrack() {
    if (openTrack() == nullptr) {
        return;
    }
    Track& track = tracks.back();
    track.closed = true;
    nextStart = track.start + trackSize(track) + familyOf(*this).trackPregapSectors;
}

void Disc::closeSession(bool keepAppendable) {
    closeTrack();
    const bool sessionHasTracks = !tracks.empty() && tracks.back().session > closedSessions;
    if (sessionHasTracks) {
        ++closedSessions;
        const Track& last = tracks.back();
        nextStart = last.start + trackSize(last) + sessionGap();
    }
    if (!tracks.empty() && !keepAppendable) {
        finalized = true;
    }
}

std::int64_t Disc::sessionGap() const {
    return closedSessions == 0   ? 0
           : closedSessions == 1 ? traits().firstSessionGap
                                 : traits().laterSessionGap;
}

void Disc::blankAll(bool minimal) {
    tracks.clear();
    closedSessions = 0;
    finalized = false;
    nextStart = 0;
    if (medium == Medium::DVDMinusRWRestrictedOverwrite) {
        medium = Medium::DVDMinusRWSequential;
    }
    formatted = 0;
    formatState = FormatState::None;
    // A minimally blanked DVD-RW loses incremental recording until blanked fully.
    incrementalAllowed = !(minimal && medium == Medium::DVDMinusRWSequential);
}

void Disc::format(std::int64_t sectors, bool intermediate) {
    if (medium == Medium::DVDMinusRWSequential) {
        medium = Medium::DVDMinusRWRestrictedOverwrite;
    }
    if (medium == Medium::BDR) {
        // Spare areas for defect management come out of the user capacity.
        capacity = sectors;
        return;
    }
    tracks.clear();
    closedSessions = 0;
    finalized = false;
    formatted = std::min(sectors, capacity);
    formatState = intermediate ? FormatState::Intermediate : FormatState::Formatted;
}

bool Disc::readable(std::int64_t lba, std::int64_t count) const {
    if (lba < 0) {
        return false;
    }
    if (overwritable()) {
        const std::int64_t limit = formatState == FormatState::Intermediate ? capacity : formatted;
        return formatState != FormatState::None && lba + count <= limit;
    }
    const bool cd = traits().family == Family::CD;
    return std::any_of(tracks.begin(), tracks.end(), [&](const Track& track) {
        const std::int64_t recorded = track.closed && !cd ? trackSize(track) : track.written;
        return lba >= track.start && lba + count <= track.start + recorded;
    });
}

} // namespace emulator
