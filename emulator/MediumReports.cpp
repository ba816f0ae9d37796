// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/MediumReports.h"

#include "emulator/FormatType.h"

#include <string_view>

namespace emulator {

namespace {

constexpr std::uint8_t dataTrackControl = 0x14; // ADR 1, control 4: a data track

// The spare areas for defect management of a 25 GB BD: 768 MiB by default,
// 1280 MiB at most and 256 MiB at least, in sectors.
constexpr std::int64_t sectorsPerMebibyte = 1024 * 1024 / sectorBytes;
constexpr struct {
    std::int64_t standard = 768 * sectorsPerMebibyte;
    std::int64_t most = 1280 * sectorsPerMebibyte;
    std::int64_t least = 256 * sectorsPerMebibyte;
} bdSpare;

// A BD format with a spare area in that share of the disc, whole clusters
// of room left; its parameter counts the spare area's clusters.
FormatDescriptor bdFormat(const Disc& disc, std::uint8_t type, std::int64_t spare) {
    const std::int64_t cluster = factsOf(Family::BD).trackAlignSectors;
    const std::int64_t common = factsOf(disc.medium).capacity;
    return {type, (disc.capacity - disc.capacity * spare / common) / cluster * cluster,
            static_cast<std::uint32_t>(spare / cluster)};
}

bool isCd(const Disc& disc) {
    return disc.traits().family == Family::CD;
}

// Disc status (MMC-5 6.22.3.1.4): 0 blank, 1 appendable, 2 complete, 3 others.
int discStatus(const Disc& disc) {
    if (disc.overwritable()) {
        if (disc.medium == Medium::DVDRAM || disc.medium == Medium::BDRE) {
            return disc.formatState == FormatState::None ? 0 : 3;
        }
        return disc.formatState == FormatState::Formatted      ? 2
               : disc.formatState == FormatState::Intermediate ? 1
                                                               : 0;
    }
    return disc.blank() ? 0 : disc.finalized ? 2 : 1;
}

// State of the last session: 0 empty, 1 incomplete, 3 complete.
int lastSessionState(const Disc& disc) {
    if (disc.overwritable()) {
        return disc.formatState == FormatState::Formatted ? 3 : 0;
    }
    if (disc.finalized) {
        return 3;
    }
    const bool written = !disc.tracks.empty() && disc.tracks.back().session > disc.closedSessions;
    return written ? 1 : 0;
}

void putAddress(Bytes& out, std::size_t at, std::int64_t lba, bool msf) {
    if (msf) {
        out[at] = 0;
        putMsf(out, at + 1, lba);
    } else {
        put32(out, at, static_cast<std::uint32_t>(lba));
    }
}

Bytes describeTrack(const Disc& disc, int number, const Track* track) {
    Bytes out(48, 0);
    put16(out, 0, 46);
    const int session = track != nullptr ? track->session : disc.closedSessions + 1;
    out[2] = static_cast<std::uint8_t>(number);
    out[3] = static_cast<std::uint8_t>(session);
    out[32] = static_cast<std::uint8_t>(number >> 8);
    out[33] = static_cast<std::uint8_t>(session >> 8);
    // Incremental tracks (Packet, 20h) of variable packets (FP clear): a
    // DVD-R's and a BD-R's, as drives report them and growisofs requires;
    // a DVD+R's tracks are not incremental, and its closed ones count as
    // reserved (RT). Only a restricted overwrite DVD-RW has fixed packets.
    const bool plus = disc.medium == Medium::DVDPlusR || disc.medium == Medium::DVDPlusRDualLayer;
    const std::uint8_t packet =
        (disc.dvdMinusSequential() && disc.incrementalAllowed) || disc.medium == Medium::BDR ? 0x20
                                                                                             : 0;
    if (disc.overwritable()) {
        const std::int64_t size =
            disc.formatState == FormatState::Formatted ? disc.formatted : disc.capacity;
        out[5] = 4;
        out[6] = 0x10 | 1;
        out[7] = 0x03; // LRA and NWA valid
        put32(out, 16, static_cast<std::uint32_t>(size));
        put32(out, 20, isCd(disc) ? 1 : disc.traits().family == Family::BD ? 32 : 16);
        put32(out, 24, static_cast<std::uint32_t>(size));
        put32(out, 28, static_cast<std::uint32_t>(size - 1));
        return out;
    }
    if (track == nullptr) {
        // The invisible track: the blank rest of the disc.
        const std::int64_t free = disc.freeSectors();
        out[5] = isCd(disc) ? 4 : 5;
        out[6] = 0x40 | packet | 0x0F; // blank, data mode unknown yet
        out[7] = free > 0 ? 0x01 : 0x00;
        put32(out, 8, static_cast<std::uint32_t>(disc.nextStart));
        put32(out, 12, static_cast<std::uint32_t>(disc.nextStart));
        put32(out, 16, static_cast<std::uint32_t>(free));
        put32(out, 24, static_cast<std::uint32_t>(free));
        return out;
    }
    const bool writable = !track->closed && !track->damaged;
    const std::int64_t free = writable ? disc.freeSectors() : 0;
    out[5] = static_cast<std::uint8_t>((track->damaged ? 0x20 : 0) | (isCd(disc) ? 4 : 5));
    const bool reserved = track->reserved > 0 || (plus && track->closed);
    out[6] = static_cast<std::uint8_t>((reserved ? 0x80 : 0) | (track->written == 0 ? 0x40 : 0) |
                                       (track->reserved > 0 ? 0 : packet) | 1);
    out[7] = static_cast<std::uint8_t>((track->written > 0 ? 0x02 : 0) | (writable ? 0x01 : 0));
    put32(out, 8, static_cast<std::uint32_t>(track->start));
    if (writable) {
        put32(out, 12, static_cast<std::uint32_t>(track->start + track->written));
    }
    put32(out, 16, static_cast<std::uint32_t>(free));
    const std::int64_t size =
        track->closed || track->reserved > 0 ? disc.trackSize(*track) : track->written + free;
    put32(out, 24, static_cast<std::uint32_t>(size));
    if (track->written > 0) {
        put32(out, 28, static_cast<std::uint32_t>(track->start + track->written - 1));
    }
    return out;
}

// The tracks a table of contents lists: a CD's of complete sessions, whose
// lead-in holds it; on other media, which have no lead-in of each session,
// the drive makes it up from every closed track (a BD-R that growisofs wrote
// holds one in a session it left open, and is read and mounted as it is).
int listedTracks(const Disc& disc) {
    int count = 0;
    for (const Track& track : disc.tracks) {
        count += (isCd(disc) ? track.session <= disc.closedSessions : track.closed) ? 1 : 0;
    }
    return count;
}

std::int64_t sessionEnd(const Disc& disc, int session) {
    std::int64_t end = 0;
    for (const Track& track : disc.tracks) {
        if (track.session == session) {
            end = track.start + disc.trackSize(track);
        }
    }
    return end;
}

// One entry of a CD's raw TOC: what the lead-in's Q sub-channel says at a
// point; `pointer` is an address, or for A0h and A1h a track number.
void putRawEntry(Bytes& out, int session, std::uint8_t control, std::uint8_t point,
                 std::optional<std::int64_t> time, std::int64_t pointer) {
    const std::size_t at = out.size();
    out.resize(at + 11, 0);
    out[at] = static_cast<std::uint8_t>(session);
    out[at + 1] = control;
    out[at + 3] = point;
    if (time) {
        putMsf(out, at + 4, *time);
    }
    if (point == 0xA0 || point == 0xA1) {
        out[at + 8] = static_cast<std::uint8_t>(pointer); // PSEC 0: a CD-ROM disc
    } else {
        putMsf(out, at + 8, pointer);
    }
}

// Format 2: the raw TOC of a CD, as the lead-in of each session records it
// (MMC-5 6.26.3.4, Table 489).
Bytes rawToc(const Disc& disc) {
    Bytes out(4, 0);
    out[2] = 1;
    out[3] = static_cast<std::uint8_t>(disc.closedSessions);
    for (int session = 1; session <= disc.closedSessions; ++session) {
        int first = 0;
        int last = 0;
        for (std::size_t i = 0; i < disc.tracks.size(); ++i) {
            if (disc.tracks[i].session == session) {
                first = first == 0 ? static_cast<int>(i) + 1 : first;
                last = static_cast<int>(i) + 1;
            }
        }
        putRawEntry(out, session, dataTrackControl, 0xA0, std::nullopt, first);
        putRawEntry(out, session, dataTrackControl, 0xA1, std::nullopt, last);
        putRawEntry(out, session, dataTrackControl, 0xA2, std::nullopt, sessionEnd(disc, session));
        for (int number = first; number <= last && number > 0; ++number) {
            putRawEntry(out, session, dataTrackControl, static_cast<std::uint8_t>(number),
                        std::nullopt, disc.tracks[static_cast<std::size_t>(number - 1)].start);
        }
        if (session == disc.closedSessions && !disc.finalized) {
            // Mode-5 pointer: where the next session's program area starts.
            putRawEntry(out, session, 0x54, 0xB0, disc.nextStart, disc.capacity);
        }
    }
    put16(out, 0, static_cast<std::uint32_t>(out.size() - 2));
    return out;
}

Bytes atip(const Disc& disc) {
    Bytes out(28, 0);
    put16(out, 0, 26);
    out[4] = 0x80 | 0x50; // indicative target writing power 5
    out[5] = 0x40;        // unrestricted use
    out[6] = static_cast<std::uint8_t>(0x80 | (disc.medium == Medium::CDRW ? 0x40 : 0));
    putMsf(out, 8, atipLeadInStart);
    putMsf(out, 12, disc.capacity);
    return out;
}

} // namespace

Bytes discInformation(const Disc& disc) {
    Bytes out(34, 0);
    put16(out, 0, 32);
    const bool rewritable = disc.traits().erasable || disc.overwritable();
    out[2] = static_cast<std::uint8_t>((rewritable ? 0x10 : 0) | lastSessionState(disc) << 2 |
                                       discStatus(disc));
    const int sessions = disc.overwritable() ? 1 : disc.sessionCount();
    const int first = disc.overwritable() ? 1 : disc.firstTrackOfLastSession();
    const int last = disc.overwritable() ? 1 : disc.lastTrackNumber();
    out[3] = 1;
    out[4] = static_cast<std::uint8_t>(sessions);
    out[5] = static_cast<std::uint8_t>(first);
    out[6] = static_cast<std::uint8_t>(last);
    const bool backgroundFormatted =
        disc.medium == Medium::DVDPlusRW && disc.formatState == FormatState::Formatted;
    out[7] = static_cast<std::uint8_t>(0x20 | (backgroundFormatted ? 3 : 0)); // URU, BG format
    out[9] = static_cast<std::uint8_t>(sessions >> 8);
    out[10] = static_cast<std::uint8_t>(first >> 8);
    out[11] = static_cast<std::uint8_t>(last >> 8);
    if (disc.finalized) {
        put32(out, 16, 0xFFFFFFFF);
        put32(out, 20, 0xFFFFFFFF);
    } else if (isCd(disc)) {
        putAddress(out, 16, disc.blank() ? atipLeadInStart : disc.nextStart - 150 - 4500, true);
        putAddress(out, 20, disc.capacity, true);
    } else {
        putAddress(out, 16, disc.overwritable() ? 0 : disc.nextStart, false);
        putAddress(out, 20, disc.capacity, false);
    }
    return out;
}

std::optional<Bytes> trackInformation(const Disc& disc, int addressType, std::int64_t value) {
    const int count = static_cast<int>(disc.tracks.size());
    int number = 0;
    if (disc.overwritable()) {
        number = addressType == 1 && (value == 1 || value == 0xFF) ? 1
                 : addressType == 2 && value == 1                  ? 1
                 : addressType == 0 && value >= 0                  ? 1
                                                                   : 0;
        return number == 1 ? std::optional<Bytes>(describeTrack(disc, 1, nullptr)) : std::nullopt;
    }
    if (addressType == 0) {
        number = disc.lastTrackNumber();
        for (int i = 0; i < count; ++i) {
            const Track& track = disc.tracks[static_cast<std::size_t>(i)];
            if (value >= track.start && value < track.start + disc.trackSize(track)) {
                number = i + 1;
            }
        }
    } else if (addressType == 1) {
        number = value == 0xFF ? disc.lastTrackNumber() : static_cast<int>(value);
    } else if (addressType == 2) {
        for (int i = count - 1; i >= 0; --i) {
            number = disc.tracks[static_cast<std::size_t>(i)].session == value ? i + 1 : number;
        }
        number = number == 0 && value == disc.closedSessions + 1 ? count + 1 : number;
    }
    if (number >= 1 && number <= count) {
        return describeTrack(disc, number, &disc.tracks[static_cast<std::size_t>(number - 1)]);
    }
    if (number == count + 1 && !disc.finalized) {
        return describeTrack(disc, number, nullptr);
    }
    return std::nullopt;
}

std::optional<Bytes> tableOfContents(const Disc& disc, int format, bool msf, int number) {
    if (format == 4) {
        return isCd(disc) ? std::optional<Bytes>(atip(disc)) : std::nullopt;
    }
    const int tracks = disc.overwritable() ? 1 : listedTracks(disc);
    if (tracks == 0 || (format == 2 && !isCd(disc)) || format > 2) {
        return std::nullopt;
    }
    if (format == 2) {
        return rawToc(disc);
    }
    const auto startOf = [&disc](int track) {
        return disc.overwritable() ? 0 : disc.tracks[static_cast<std::size_t>(track - 1)].start;
    };
    Bytes out(4, 0);
    if (format == 1) {
        const int lastSession =
            disc.overwritable() ? 1 : disc.tracks[static_cast<std::size_t>(tracks - 1)].session;
        int first = 1;
        for (int i = tracks; i >= 1; --i) {
            first = disc.overwritable() ||
                            disc.tracks[static_cast<std::size_t>(i - 1)].session == lastSession
                        ? i
                        : first;
        }
        out.resize(12, 0);
        out[2] = 1;
        out[3] = static_cast<std::uint8_t>(lastSession);
        out[5] = dataTrackControl;
        out[6] = static_cast<std::uint8_t>(first);
        putAddress(out, 8, startOf(first), msf);
    } else {
        out[2] = 1;
        out[3] = static_cast<std::uint8_t>(tracks);
        const Track* last =
            disc.overwritable() ? nullptr : &disc.tracks[static_cast<std::size_t>(tracks - 1)];
        const std::int64_t leadOut =
            last == nullptr ? disc.formatted : last->start + disc.trackSize(*last);
        // From the track asked for on, the lead-out (AAh) last; AAh alone
        // asks for the lead-out only (MMC-5 6.26.3.2).
        constexpr int leadOutTrack = 0xAA;
        if (number > tracks && number != leadOutTrack) {
            return std::nullopt;
        }
        for (int track = number == leadOutTrack ? tracks + 1 : std::max(number, 1);
             track <= tracks + 1; ++track) {
            const std::size_t at = out.size();
            out.resize(at + 8, 0);
            out[at + 1] = dataTrackControl;
            out[at + 2] = static_cast<std::uint8_t>(track > tracks ? leadOutTrack : track);
            putAddress(out, at + 4, track > tracks ? leadOut : startOf(track), msf);
        }
    }
    put16(out, 0, static_cast<std::uint32_t>(out.size() - 2));
    return out;
}

Bytes readCapacity(const Disc& disc) {
    Bytes out(8, 0);
    const std::int64_t end = disc.overwritable() ? disc.formatted : disc.recordedEnd();
    put32(out, 0, static_cast<std::uint32_t>(std::max<std::int64_t>(0, end - 1)));
    put32(out, 4, static_cast<std::uint32_t>(sectorBytes));
    return out;
}

std::vector<FormatDescriptor> formatDescriptors(const Disc& disc) {
    using namespace formatType;
    const std::int64_t all = disc.capacity;
    const auto eccBlock = static_cast<std::uint32_t>(factsOf(Family::DVD).trackAlignSectors);
    const std::vector<FormatDescriptor> minusRw{
        {full, all, eccBlock}, {minusRwFull, all, eccBlock}, {minusRwQuick, all, eccBlock}};
    // A DVD-RAM keeps about 2.5 % for defect management, in whole ECC blocks.
    const std::int64_t ramSpare =
        all * 58400 / factsOf(Medium::DVDRAM).capacity / eccBlock * eccBlock;
    const auto bd = [&disc](std::uint8_t type, std::int64_t spare) {
        return bdFormat(disc, type, spare);
    };
    switch (disc.medium) {
    case Medium::DVDPlusRW:
        return {{plusRwBasic, all, 0}};
    case Medium::DVDMinusRWSequential:
        return minusRw;
    case Medium::DVDMinusRWRestrictedOverwrite:
        if (disc.formatState == FormatState::Formatted && disc.formatted < all) {
            std::vector<FormatDescriptor> formats = minusRw;
            formats.push_back({minusRwQuickGrowLastSession, all - disc.formatted, eccBlock});
            return formats;
        }
        return minusRw;
    case Medium::DVDRAM:
        return {{full, all - ramSpare, sectorBytes},
                {full, all, sectorBytes},
                {spareAreaExpansion, all - ramSpare, sectorBytes}};
    case Medium::BDRE:
        // The default, most and least spare area, then none (MMC-5 6.5.4.2.15).
        return {bd(full, bdSpare.standard),
                bd(bdReWithSpare, bdSpare.standard),
                bd(bdReWithSpare, bdSpare.most),
                bd(bdReWithSpare, bdSpare.least),
                {bdReWithoutSpare, all, sectorBytes}};
    case Medium::BDR:
        if (!disc.blank()) {
            return {};
        }
        return {bd(full, bdSpare.standard), bd(bdRWithSpare, bdSpare.standard),
                bd(bdRWithSpare, bdSpare.most), bd(bdRWithSpare, bdSpare.least)};
    default:
        return {};
    }
}

Bytes formatCapacities(const Disc& disc) {
    // Current/maximum capacity: 1 unformatted, 2 formatted, 3 unknown (6.24.3.2).
    std::uint8_t type = 3;
    std::int64_t blocks = disc.capacity;
    if (disc.traits().formattable) {
        type = disc.formatState == FormatState::Formatted      ? 2
               : disc.formatState == FormatState::Intermediate ? 3
                                                               : 1;
        blocks = disc.formatState == FormatState::Formatted ? disc.formatted : disc.capacity;
    }
    std::vector<FormatDescriptor> formats = formatDescriptors(disc);
    if (formats.empty() && disc.medium == Medium::BDR) {
        // A written BD-R formats no more, yet drives list the format it
        // carries, at its size: readers take a list without one as broken.
        formats.push_back(bdFormat(disc, formatType::full, bdSpare.standard));
        formats.back().blocks = blocks;
    }
    Bytes out(12 + 8 * formats.size(), 0);
    out[3] = static_cast<std::uint8_t>(8 + 8 * formats.size());
    put32(out, 4, static_cast<std::uint32_t>(blocks));
    out[8] = type;
    put24(out, 9, static_cast<std::uint32_t>(sectorBytes));
    for (std::size_t i = 0; i < formats.size(); ++i) {
        put32(out, 12 + 8 * i, static_cast<std::uint32_t>(formats[i].blocks));
        out[16 + 8 * i] = static_cast<std::uint8_t>(formats[i].type << 2);
        put24(out, 17 + 8 * i, formats[i].parameter);
    }
    return out;
}

std::optional<Bytes> discStructure(const Disc& disc, int mediaType, int format) {
    if (mediaType != 0 || disc.traits().family != Family::DVD) {
        return std::nullopt;
    }
    // A DVD-R's and a DVD-RW's lead-in also hold the physical format of the
    // disc as made (10h), which their readers ask for first: the same here.
    const bool minusBook =
        disc.dvdMinusSequential() || disc.medium == Medium::DVDMinusRWRestrictedOverwrite;
    if (format == 0xFF) {
        // The structures there are (6.23.3.2.22): code, readable, length.
        std::vector<std::pair<std::uint8_t, std::uint16_t>> listed{{0x00, 2048 + 4}};
        if (minusBook) {
            listed.emplace_back(0x10, 2048 + 4);
        }
        listed.emplace_back(0xFF, 4 + 4 * (listed.size() + 1));
        Bytes out(4, 0);
        for (const auto& [code, length] : listed) {
            const std::size_t at = out.size();
            out.resize(at + 4, 0);
            out[at] = code;
            out[at + 1] = 0x40;
            put16(out, at + 2, length);
        }
        put16(out, 0, static_cast<std::uint32_t>(out.size() - 2));
        return out;
    }
    if (format != 0 && !(format == 0x10 && minusBook)) {
        return std::nullopt;
    }
    // Physical format information of the lead-in (MMC-5 6.23.3.2.1).
    const MediumFacts& traits = disc.traits();
    Bytes out(4 + 2048, 0);
    put16(out, 0, 2048 + 2);
    out[4] = static_cast<std::uint8_t>(traits.bookType << 4 | 5);
    out[5] = 0x0F; // 120 mm disc, no maximum rate given
    const bool rewritable = traits.erasable || traits.overwritable;
    out[6] = static_cast<std::uint8_t>((traits.layers - 1) << 5 | (traits.layers > 1 ? 0x10 : 0) |
                                       (rewritable ? 0x04 : 0x02));
    constexpr std::uint32_t dataAreaStart = 0x030000;
    put32(out, 8, dataAreaStart);
    put32(out, 12, dataAreaStart + static_cast<std::uint32_t>(disc.capacity) - 1);
    put32(out, 16, dataAreaStart + static_cast<std::uint32_t>(disc.capacity / traits.layers) - 1);
    if (traits.bookType >= 9) {
        // DVD+R and DVD+RW name their maker and media type from the ADIP
        // (ECMA-337 and ECMA-349): bytes 19 to 30 of this structure.
        const std::string_view maker = "EMBERLINEMU";
        std::copy(maker.begin(), maker.end(), out.begin() + 4 + 19);
        out[4 + 30] = 1;
    }
    return out;
}

} // namespace emulator
