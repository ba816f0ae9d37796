// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Recorder.h"

#include "emulator/FormatType.h"
#include "emulator/MediumReports.h"

#include <algorithm>

namespace emulator {

Recorder::Recorder(const DriveConfig& config, RateModel& rates, Pacer& pacer, Faults& faults,
                   std::size_t cachedSectors)
    : config_(config)
    , rates_(rates)
    , pacer_(pacer)
    , faults_(faults)
    , background_(pacer)
    , cache_(cachedSectors) {}

Trigger Recorder::erasing(Clock::duration duration) const {
    return config_.eraseTime.value_or(Trigger::after(duration));
}

std::optional<Sense> Recorder::backgroundWork(const Moment& now) const {
    return background_.running(now);
}

void Recorder::discChanged() {
    simulatedNext_.reset();
    sessionAtOnceNext_.reset();
    sessionAtOnceTracks_.clear();
    writeOrigin_.reset();
    readOrigin_.reset();
    background_.forget();
    cache_.forget();
}

Reply Recorder::write(LoadedDisc loaded, std::int64_t lba, std::span<const std::uint8_t> data) {
    Disc& disc = loaded.disc;
    const auto count = static_cast<std::int64_t>(data.size()) / sectorBytes;
    const bool simulated = parameters_.testWrite && !disc.overwritable();
    std::int64_t origin = lba;
    if (sessionAtOnceNext_) {
        if (lba != *sessionAtOnceNext_) {
            return Reply::failed(sense::invalidWriteAddress);
        }
        origin = 0;
    } else if (simulated) {
        if (lba != simulatedNext_.value_or(disc.nextWritableAddress())) {
            return Reply::failed(sense::invalidWriteAddress);
        }
    } else {
        if (const std::optional<Sense> refused = disc.acceptWrite(lba, count)) {
            return Reply::failed(*refused);
        }
        const Track* open = disc.openTrack();
        origin = disc.overwritable() ? writeOrigin_.value_or(lba) : open ? open->start : lba;
    }
    writeOrigin_ = origin;
    readOrigin_ = origin;
    const auto [lost, failed] = faults_.write(origin, lba, count);
    const std::int64_t stop = std::min(lost.value_or(lba + count), failed.value_or(lba + count));
    const std::int64_t good = stop - lba;

    const std::int64_t skipped = std::clamp<std::int64_t>(-lba, 0, good); // a CD's pregap
    if (!simulated && good > skipped) {
        const auto from = static_cast<std::size_t>(skipped * sectorBytes);
        const auto written =
            data.subspan(from, static_cast<std::size_t>(good * sectorBytes) - from);
        loaded.store.write(lba + skipped, written);
        cache_.remember(lba + skipped, written);
    }
    if (sessionAtOnceNext_) {
        *sessionAtOnceNext_ += good;
        for (const std::size_t index : sessionAtOnceTracks_) {
            Track& track = disc.tracks[index];
            track.written = std::clamp(lba + good - track.start, track.written, track.reserved);
        }
    } else if (simulated) {
        simulatedNext_ = lba + good;
    } else if (!disc.overwritable()) {
        disc.recordWrite(good);
    }
    // The drive takes the data into its buffer and writes it from there.
    pacer_.runFor(rates_.writeTime(disc, lba, good), rates_.bufferTime(disc));

    Reply reply;
    reply.changedDisc = !simulated;
    if (lost && (!failed || *lost <= *failed)) {
        reply.driveGone = true;
    } else if (failed) {
        if (!disc.overwritable() && !disc.tracks.empty()) {
            disc.tracks.back().damaged = true;
        }
        reply.sense = sense::writeError;
    }
    return reply;
}

Reply Recorder::read(LoadedDisc loaded, std::int64_t lba, std::span<std::uint8_t> data,
                     bool forceUnitAccess) {
    const Disc& disc = loaded.disc;
    const auto count = static_cast<std::int64_t>(data.size()) / sectorBytes;
    if (!disc.readable(lba, count)) {
        return Reply::failed(sense::lbaOutOfRange);
    }
    if (!readOrigin_) {
        readOrigin_ = disc.tracks.empty() ? 0 : disc.tracks.back().start;
    }
    faults_.read(*readOrigin_, lba, count);
    if (!loaded.store.read(lba, data)) {
        return Reply::failed(sense::unrecoveredReadError);
    }
    // What the buffer holds comes from there, the rest from the disc.
    std::vector<bool> fromDisc(static_cast<std::size_t>(count), true);
    for (std::int64_t i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        fromDisc[at] =
            forceUnitAccess || !cache_.recall(lba + i, data.subspan(at * sectorBytes, sectorBytes));
        if (fromDisc[at] && faults_.unreadable(lba + i)) {
            Sense unreadable = sense::unrecoveredReadError;
            unreadable.information = static_cast<std::uint32_t>(lba + i);
            return Reply::failed(unreadable);
        }
    }
    if (const std::optional<std::int64_t> bad = faults_.badSector(*readOrigin_, lba, count);
        bad && fromDisc[static_cast<std::size_t>(*bad - lba)]) {
        data[static_cast<std::size_t>((*bad - lba) * sectorBytes)] ^= 0x5A;
    }
    pacer_.runFor(rates_.readTime(disc, lba, count));
    return Reply{data.size(), std::nullopt, false, false};
}

Reply Recorder::synchronize(LoadedDisc loaded) {
    Disc& disc = loaded.disc;
    pacer_.drainBuffer();
    writeOrigin_.reset();
    if (simulatedNext_) {
        simulatedNext_.reset();
        return {};
    }
    if (sessionAtOnceNext_) {
        // Session at once: the drive writes lead-in and lead-out by itself.
        for (const std::size_t index : sessionAtOnceTracks_) {
            disc.tracks[index].closed = true;
        }
        const bool simulated = sessionAtOnceTracks_.empty();
        sessionAtOnceNext_.reset();
        sessionAtOnceTracks_.clear();
        if (simulated) {
            return {};
        }
        disc.closeSession(parameters_.keepsAppendable());
        pacer_.runFor(rates_.jobTime(disc, DriveJob::CloseSession));
        return Reply{0, std::nullopt, true, false};
    }
    const Track* open = disc.openTrack();
    if (open == nullptr || disc.overwritable()) {
        return {};
    }
    if (disc.traits().family == Family::CD) {
        // Track at once ends the track with the cache flush.
        disc.closeTrack();
    } else if (disc.dvdMinusSequential() && parameters_.writeType == 2) {
        // Disc at once: one track, one session, and the disc is closed.
        disc.closeSession(false);
        pacer_.runFor(rates_.jobTime(disc, DriveJob::CloseSession));
    }
    return Reply{0, std::nullopt, true, false};
}

Reply Recorder::close(LoadedDisc loaded, int function, bool immediate, const Moment& now) {
    Disc& disc = loaded.disc;
    writeOrigin_.reset();
    if (parameters_.testWrite && !disc.overwritable()) {
        simulatedNext_.reset();
        return {};
    }
    // Close functions, MMC-5 Table 200: 001b track, 010b session, 011b,
    // 101b and 110b finalize (DVD-R, DVD+R, BD-R); 000b stops background formatting.
    switch (function) {
    case 0:
        return {};
    case 1:
        disc.closeTrack();
        break;
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        if (disc.overwritable()) {
            if (disc.formatState == FormatState::Intermediate) {
                disc.format(disc.capacity, false);
            }
            return Reply{0, std::nullopt, true, false};
        }
        disc.closeSession((function == 2 || function == 4) && sessionsMayFollow(disc));
        break;
    default:
        return Reply::failed(sense::invalidField);
    }
    background_.start(sense::operationInProgress,
                      Trigger::after(rates_.jobTime(disc, function == 1 ? DriveJob::CloseTrack
                                                                        : DriveJob::CloseSession)),
                      immediate, now);
    return Reply{0, std::nullopt, true, false};
}

bool Recorder::sessionsMayFollow(const Disc& disc) const {
    switch (disc.medium) {
    case Medium::DVDMinusRDualLayer:
        return false; // a dual-layer DVD-R has no further sessions
    case Medium::DVDPlusR:
    case Medium::DVDPlusRDualLayer:
    case Medium::BDR:
        return true; // finalizing takes a close function of its own
    default:
        return parameters_.keepsAppendable();
    }
}

Reply Recorder::reserve(LoadedDisc loaded, std::int64_t sectors) {
    if (parameters_.testWrite && !loaded.disc.overwritable()) {
        return {};
    }
    if (loaded.disc.overwritable()) {
        return Reply::failed(sense::incompatibleMedium);
    }
    if (const std::optional<Sense> refused = loaded.disc.reserveTrack(sectors)) {
        return Reply::failed(*refused);
    }
    return Reply{0, std::nullopt, true, false};
}

Reply Recorder::takeCueSheet(LoadedDisc loaded, std::span<const std::uint8_t> sheet) {
    Disc& disc = loaded.disc;
    if (disc.traits().family != Family::CD || parameters_.writeType != 2 || disc.finalized ||
        disc.openTrack() != nullptr) {
        return Reply::failed(sense::commandSequenceError);
    }
    // Entries of 8 bytes: CTL/ADR, TNO, INDEX, DATA FORM, SCMS, MSF (MMC-5 6.33).
    std::vector<std::int64_t> starts;
    std::optional<std::int64_t> first;
    std::optional<std::int64_t> leadOut;
    for (std::size_t at = 0; at + 8 <= sheet.size(); at += 8) {
        const std::span<const std::uint8_t> entry = sheet.subspan(at, 8);
        if ((entry[0] & 0x0F) != 1) {
            continue; // catalogue number or ISRC
        }
        const std::int64_t lba = lbaOf(Msf{entry[5], entry[6], entry[7]});
        if (entry[1] == 0xAA) {
            leadOut = lba;
        } else if (entry[1] >= 1 && entry[1] <= 99) {
            first = first.value_or(lba);
            if (entry[2] == 1) {
                starts.push_back(lba);
            }
        }
    }
    if (starts.empty() || !first || !leadOut || starts.front() != disc.nextStart ||
        *leadOut <= starts.back() || *leadOut > disc.capacity) {
        return Reply::failed(sense::invalidParameter);
    }
    sessionAtOnceNext_ = *first;
    if (parameters_.testWrite) {
        return {};
    }
    starts.push_back(*leadOut);
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        sessionAtOnceTracks_.push_back(disc.tracks.size());
        disc.tracks.push_back(
            Track{disc.closedSessions + 1, starts[i], 0, starts[i + 1] - starts[i], false, false});
    }
    return Reply{0, std::nullopt, true, false};
}

Reply Recorder::blank(LoadedDisc loaded, int type, bool immediate, const Moment& now) {
    Disc& disc = loaded.disc;
    if (!disc.traits().erasable) {
        return Reply::failed(sense::incompatibleMedium);
    }
    if (type > 1 || (type == 1 && config_.noFastBlank)) {
        return Reply::failed(sense::invalidField); // only full and minimal blanking
    }
    const Clock::duration duration =
        rates_.jobTime(disc, type == 0 ? DriveJob::FullBlank : DriveJob::FastBlank);
    disc.blankAll(type == 1);
    loaded.store.erase();
    discChanged();
    background_.start(sense::operationInProgress, erasing(duration), immediate, now);
    return Reply{0, std::nullopt, true, false};
}

Reply Recorder::format(LoadedDisc loaded, std::span<const std::uint8_t> list, const Moment& now) {
    Disc& disc = loaded.disc;
    if (!disc.traits().formattable) {
        return Reply::failed(sense::cannotFormat);
    }
    if (list.size() < 12) {
        return Reply::failed(sense::parameterListLength);
    }
    // Format list header and descriptor (MMC-5 6.5.3).
    const bool immediate = (list[1] & 0x02) != 0;
    const bool noCertification = (list[1] & 0x20) != 0;
    std::int64_t blocks = get32(list, 4);
    const int type = list[8] >> 2;
    const int subType = list[8] & 0x03;
    std::int64_t offered = -1;
    for (const FormatDescriptor& descriptor : formatDescriptors(disc)) {
        offered = descriptor.type == type ? std::max(offered, descriptor.blocks) : offered;
    }
    if (type == formatType::plusRwBasic && blocks == 0xFFFFFFFF) {
        blocks = offered;
    }
    if (offered < 0 || blocks > offered) {
        return Reply::failed(sense::invalidParameter);
    }
    const bool quickGrow = type == formatType::minusRwQuickGrowLastSession;
    const bool intermediate = quickGrow || type == formatType::minusRwQuick;
    const bool keepsData =
        quickGrow || type == formatType::spareAreaExpansion || disc.medium == Medium::BDR ||
        (type == formatType::plusRwBasic && disc.formatState != FormatState::None);
    const bool certifies =
        type == formatType::minusRwFull ||
        (disc.medium == Medium::DVDMinusRWSequential && type == formatType::full) ||
        (disc.medium == Medium::DVDRAM && type == formatType::full && !noCertification) ||
        ((type == formatType::bdReWithSpare || type == formatType::bdReWithoutSpare) &&
         subType == 2);
    if (quickGrow) {
        disc.formatState = FormatState::Intermediate;
    } else {
        disc.format(type == formatType::minusRwQuick ? disc.capacity : blocks, intermediate);
    }
    if (!keepsData) {
        loaded.store.erase();
        discChanged();
    }
    const Clock::duration duration = rates_.jobTime(
        disc, certifies ? DriveJob::CertifyingFormat : DriveJob::QuickFormat, blocks);
    background_.start(sense::formatInProgress, erasing(duration), immediate, now);
    return Reply{0, std::nullopt, true, false};
}

} // namespace emulator
