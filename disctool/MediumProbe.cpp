// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/MediumProbe.h"

#include "disctool/ContentJudge.h"
#include "media/MediumFacts.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace burn;

namespace disctool {

namespace {

using media::sectorBytes;

DiscStatus discStatusOf(burn_disc_status status) {
    switch (status) {
    case BURN_DISC_BLANK:
        return DiscStatus::Blank;
    case BURN_DISC_EMPTY:
        return DiscStatus::Empty;
    case BURN_DISC_APPENDABLE:
        return DiscStatus::Appendable;
    case BURN_DISC_FULL:
        return DiscStatus::Full;
    case BURN_DISC_UNSUITABLE:
        return DiscStatus::Unsuitable;
    case BURN_DISC_UNREADY:
    case BURN_DISC_UNGRABBED:
        break;
    }
    return DiscStatus::Unready;
}

// The formatting state, and the capacity (READ FORMAT CAPACITIES): a
// formatted disc holds what its current format gives, which READ CAPACITY
// also reports; a DVD-RW once fully blanked, or a DVD-RAM, DVD+RW or BD-RE
// not formatted yet, what the largest format offers.
std::int64_t readFormats(burn_drive* drive, Formatting& formatting) {
    int status = 0;
    off_t size = 0;
    unsigned blockLength = 0;
    int count = 0;
    if (burn_disc_get_formats(drive, &status, &size, &blockLength, &count) != 1) {
        return 0;
    }
    formatting = status == BURN_FORMAT_IS_UNFORMATTED ? Formatting::Unformatted
                 : status == BURN_FORMAT_IS_FORMATTED ? Formatting::Formatted
                                                      : Formatting::Unknown;
    std::int64_t capacity = size;
    for (int i = 0; i < count && formatting != Formatting::Formatted; ++i) {
        int type = 0;
        off_t offered = 0;
        unsigned parameter = 0;
        if (burn_disc_get_format_descr(drive, i, &type, &offered, &parameter) == 1) {
            capacity = std::max<std::int64_t>(capacity, offered);
        }
    }
    return capacity;
}

// A CD-RW's capacity once blank: its lead-out as pressed into the disc (ATIP).
std::int64_t atipCapacity(burn_drive* drive) {
    int start = 0;
    int end = 0;
    if (burn_disc_read_atip(drive) != 1 ||
        burn_drive_get_start_end_lba(drive, &start, &end, 0) != 1 || end <= 0) {
        return 0;
    }
    return static_cast<std::int64_t>(end) * sectorBytes;
}

// Reads `bytes` from `at` on, quietly and without retrying block by block:
// one failure is enough. Empty when the read failed or fell short.
std::vector<std::byte> readDisc(burn_drive* drive, std::int64_t at, std::size_t bytes) {
    std::vector<std::byte> read(bytes);
    off_t got = 0;
    constexpr int quiet = 1 << 1;
    constexpr int noRetry = 1 << 2;
    if (burn_read_data(drive, at, reinterpret_cast<char*>(read.data()),
                       static_cast<off_t>(read.size()), &got, quiet | noRetry) <= 0 ||
        got != static_cast<off_t>(read.size())) {
        return {};
    }
    return read;
}

// libburn calls an overwritable disc blank whatever it holds: judge its start
// and its end. A read that fails or falls short leaves a doubt, which counts
// as data.
DiscContent readDiscContent(burn_drive* drive, std::int64_t discBytes) {
    if (discBytes <= 0) {
        return judgeDiscContent({}, {}, discBytes);
    }
    const auto length = [&](std::size_t limit) {
        return static_cast<std::size_t>(std::clamp<std::int64_t>(discBytes, 0, limit));
    };
    const std::vector<std::byte> start = readDisc(drive, 0, length(discStartBytes));
    const std::size_t endLength = length(discEndBytes);
    const std::vector<std::byte> end =
        readDisc(drive, discBytes - static_cast<std::int64_t>(endLength), endLength);
    return judgeDiscContent(start, end, discBytes);
}

// The sessions on a sequential disc, and what the last one starts with: its
// first 64 KiB hold the volume descriptors of an ISO 9660 file system.
void readSessions(burn_drive* drive, Medium& medium) {
    const libburn::Disc disc(burn_drive_get_disc(drive));
    if (!disc) {
        return;
    }
    int count = 0;
    burn_session** sessions = burn_disc_get_sessions(disc.get(), &count);
    std::int64_t lastBytes = 0;
    for (int i = 0; i < count; ++i) {
        lastBytes = static_cast<std::int64_t>(burn_session_get_sectors(sessions[i])) * sectorBytes;
        medium.sessionBytes += lastBytes;
    }
    medium.sessions = count;
    int lastStart = 0;
    if (count <= 0 || burn_disc_get_msc1(drive, &lastStart) != 1) {
        return;
    }
    const std::int64_t judged = std::min<std::int64_t>(lastBytes, 64 * 1024);
    const std::vector<std::byte> start =
        readDisc(drive, lastStart * sectorBytes, static_cast<std::size_t>(judged));
    medium.lastSession = judgeDiscContent(start, start, judged);
}

// Where a new session would start, with the options the write will use.
std::optional<std::int64_t> nextWritableSector(burn_drive* drive,
                                               const libburn::WriteOptions& options) {
    int start = 0;
    int next = 0;
    if (burn_disc_track_lba_nwa(drive, options.get(), 0, &start, &next) != 1 || next < 0) {
        return std::nullopt;
    }
    return next;
}

} // namespace

libburn::WriteOptions makeWriteOptions(burn_drive* drive, bool leaveAppendable, bool simulate,
                                       std::int64_t startByte) {
    libburn::WriteOptions options(burn_write_opts_new(drive));
    if (!options) {
        return options;
    }
    burn_write_opts_set_perform_opc(options.get(), 0);
    burn_write_opts_set_underrun_proof(options.get(), 1);
    burn_write_opts_set_multi(options.get(), leaveAppendable ? 1 : 0);
    burn_write_opts_set_simulate(options.get(), simulate ? 1 : 0);
    if (startByte >= 0) {
        burn_write_opts_set_start_byte(options.get(), startByte);
    }
    return options;
}

Medium probeMedium(burn_drive* drive, const WriteIntent& intent) {
    Medium medium;
    medium.status = discStatusOf(burn_disc_get_status(drive));
    if (medium.status == DiscStatus::Unready || medium.status == DiscStatus::Empty) {
        return medium;
    }
    int profile = 0;
    std::array<char, 80> name{};
    if (burn_disc_get_profile(drive, &profile, name.data()) == 1) {
        medium.kind = MediumKind{profile};
        medium.profileName = name.data();
    }
    burn_multi_caps* rawCaps = nullptr;
    if (burn_disc_get_multi_caps(drive, BURN_WRITE_NONE, &rawCaps, 0) >= 0 && rawCaps != nullptr) {
        const libburn::MultiCaps caps(rawCaps);
        medium.multiSession = caps->multi_session != 0;
        medium.canSimulate = caps->might_simulate != 0;
    }
    const libburn::WriteOptions options =
        makeWriteOptions(drive, intent.leaveAppendable && medium.multiSession, intent.simulate, -1);
    medium.freeBytes = burn_disc_available_space(drive, options.get());
    medium.pseudoOverwrite = burn_drive_get_bd_r_pow(drive) == 1;
    const std::int64_t formatCapacity = readFormats(drive, medium.formatting);
    const std::optional<media::Medium> recordable = recordableMedium(medium.kind);
    if (isOverwritable(medium.kind) || recordable == media::Medium::DVDMinusRWSequential) {
        medium.capacityBytes = formatCapacity;
    } else if (recordable == media::Medium::CDRW && medium.status != DiscStatus::Blank) {
        medium.capacityBytes = atipCapacity(drive);
    } else if (medium.status == DiscStatus::Blank) {
        medium.capacityBytes = medium.freeBytes;
    }
    medium.holdsData = medium.status != DiscStatus::Blank;
    if (medium.status == DiscStatus::Appendable) {
        medium.nextWritableSector = nextWritableSector(drive, options);
    }
    if (isOverwritable(medium.kind) && medium.formatting != Formatting::Unformatted) {
        medium.content = readDiscContent(drive, medium.capacityBytes);
    }
    if (!isOverwritable(medium.kind) && medium.holdsData) {
        readSessions(drive, medium);
    }
    return medium;
}

bool trayClosesByItself(burn_drive* drive) {
    constexpr unsigned removableMediumFeature = 0x0003;
    unsigned char flags = 0;
    unsigned char length = 0;
    unsigned char* data = nullptr;
    char* text = nullptr;
    const int found =
        burn_drive_get_feature(drive, removableMediumFeature, &flags, &length, &data, &text);
    const std::unique_ptr<unsigned char, decltype(&std::free)> ownedData(data, &std::free);
    const std::unique_ptr<char, decltype(&std::free)> ownedText(text, &std::free);
    if (found <= 0 || data == nullptr || length < 1) {
        return false;
    }
    // Byte 4 of the feature: loading mechanism in bits 7-5 (1 is a tray),
    // and from version 2 on a Load bit (4) saying the drive can close it.
    const int mechanism = data[0] >> 5;
    const int version = (flags >> 2) & 0x0f;
    const bool canLoad = version < 2 || (data[0] & 0x10) != 0;
    return mechanism == 1 && canLoad;
}

} // namespace disctool
