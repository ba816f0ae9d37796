// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Drive.h"

#include "emulator/Features.h"
#include "emulator/FreshDisc.h"
#include "emulator/MediumReports.h"
#include "emulator/ModePages.h"

#include <algorithm>

namespace emulator {

namespace {

// What the state file remembers; none when it cannot be read, which the
// drive's files were checked for before the drive came to life.
RememberedDiscs remembered(const DiscStateFile& file) {
    std::string problem;
    return file.load(problem).value_or(RememberedDiscs{});
}

// Discs arrive until the first slot the id leaves empty.
std::size_t arrivingDiscs(const DriveConfig& config) {
    const auto empty =
        std::find_if(config.discs.begin(), config.discs.end(),
                     [](const DiscDescription& disc) { return disc.state == DiscState::Empty; });
    return static_cast<std::size_t>(empty - config.discs.begin());
}

bool is(std::span<const std::uint8_t> cdb, Opcode opcode) {
    return cdb[0] == static_cast<std::uint8_t>(opcode);
}

std::int64_t transferLength(std::span<const std::uint8_t> cdb) {
    return is(cdb, Opcode::Read12) || is(cdb, Opcode::Write12) ? get32(cdb, 6) : get16(cdb, 7);
}

} // namespace

Drive::Drive(DriveConfig config, DriveClock& clock)
    : config_(std::move(config))
    , files_(config_.path, config_.discs.size())
    , stateFile_(files_.state())
    , discs_(remembered(stateFile_))
    , pacer_(clock)
    , tray_(arrivingDiscs(config_), config_.insertAfter,
            Tray::Settling{config_.noMediumFor, config_.unready}, now())
    , rates_(config_.rate, config_.topSpeed)
    , faults_(config_, pacer_)
    , recorder_(config_, rates_, pacer_, faults_,
                config_.cache ? factsOf(factsOf(config_.discs.front().medium).family).bufferBytes /
                                    sectorBytes
                              : 0)
    , log_(config_.log) {
    discs_.resize(config_.discs.size());
    for (std::size_t i = 0; i < config_.discs.size(); ++i) {
        stores_.push_back(std::make_unique<BackingStore>(files_.disc(i)));
    }
}

Drive::~Drive() {
    // A program may also have written the node itself (growisofs does to a
    // DVD-RAM): the state remembers each file as the drive leaves it.
    bool grown = false;
    for (std::size_t i = 0; i < discs_.size(); ++i) {
        grown = grown || (discs_[i] && discs_[i]->bytes != stores_[i]->bytes());
    }
    if (unsaved_ || grown) {
        remember();
    }
}

void Drive::remember() {
    for (std::size_t i = 0; i < discs_.size(); ++i) {
        if (discs_[i]) {
            const std::string file = files_.disc(i);
            discs_[i]->file = file.substr(file.rfind('/') + 1);
            discs_[i]->bytes = stores_[i]->bytes();
        }
    }
    unsaved_ = !stateFile_.save(discs_);
}

Disc* Drive::disc() {
    const std::optional<std::size_t> index = tray_.loaded();
    if (!index) {
        return nullptr;
    }
    const DiscDescription& description = config_.discs[*index];
    std::optional<RememberedDisc>& slot = discs_[*index];
    if (!slot || slot->origin != description.origin()) {
        slot = RememberedDisc{
            description.origin(), makeFreshDisc(description, *stores_[*index]), {}, 0};
        remember();
    }
    return &slot->disc;
}

LoadedDisc Drive::loaded() {
    return LoadedDisc{*disc(), *stores_[*tray_.loaded()]};
}

int Drive::trayStatus() {
    tray_.update(now());
    if (tray_.open()) {
        return 2;
    }
    if (!tray_.loaded()) {
        return 1;
    }
    return tray_.settled(now()) ? 4 : 3;
}

Reply Drive::answer(const Bytes& reply, const Request& request) {
    const std::size_t count = std::min(reply.size(), request.toHost.size());
    std::copy_n(reply.begin(), count, request.toHost.begin());
    return Reply{count, std::nullopt, false, false};
}

const std::vector<Drive::Command>& Drive::commands() {
    static const std::vector<Command> all{
        {Opcode::TestUnitReady, &Drive::testUnitReady, false},
        {Opcode::RequestSense, &Drive::requestSense, false},
        {Opcode::FormatUnit, &Drive::formatUnit, true},
        {Opcode::Inquiry, &Drive::inquiry, false},
        {Opcode::StartStopUnit, &Drive::startStop, false},
        {Opcode::PreventAllowMediumRemoval, &Drive::preventAllow, false},
        {Opcode::ReadFormatCapacities, &Drive::formatCapacities, true},
        {Opcode::ReadCapacity, &Drive::capacity, true},
        {Opcode::Read10, &Drive::read, true},
        {Opcode::Write10, &Drive::write, true},
        {Opcode::SynchronizeCache, &Drive::synchronize, true},
        {Opcode::ReadTocPmaAtip, &Drive::tableOfContents, true},
        {Opcode::GetConfiguration, &Drive::getConfiguration, false},
        {Opcode::GetEventStatusNotification, &Drive::eventStatus, false},
        {Opcode::ReadDiscInformation, &Drive::discInformation, true},
        {Opcode::ReadTrackInformation, &Drive::trackInformation, true},
        {Opcode::ReserveTrack, &Drive::reserveTrack, true},
        {Opcode::SendOpcInformation, &Drive::sendOpc, true},
        {Opcode::ModeSelect10, &Drive::modeSelect, false},
        {Opcode::ModeSense10, &Drive::modeSense, false},
        {Opcode::CloseTrackSession, &Drive::closeTrackSession, true},
        {Opcode::ReadBufferCapacity, &Drive::bufferCapacity, false},
        {Opcode::SendCueSheet, &Drive::sendCueSheet, true},
        {Opcode::Blank, &Drive::blank, true},
        {Opcode::Read12, &Drive::read, true},
        {Opcode::Write12, &Drive::write, true},
        {Opcode::GetPerformance, &Drive::getPerformance, true},
        {Opcode::ReadDiscStructure, &Drive::discStructure, true},
        {Opcode::SetStreaming, &Drive::setStreaming, false},
        {Opcode::SetCdSpeed, &Drive::setCdSpeed, false},
    };
    return all;
}

Reply Drive::execute(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> toHost,
                     std::span<const std::uint8_t> fromHost) {
    if (gone_) {
        return Reply{0, std::nullopt, false, true};
    }
    if (cdb.empty()) {
        return Reply::failed(sense::invalidOpcode);
    }
    log_.record(cdb);
    faults_.command(cdb[0]);
    // Every command counts as a poll: a host that waits for a drive keeps
    // asking it something, retries included.
    ++polls_;
    tray_.update(now());
    const auto command = std::find_if(commands().begin(), commands().end(),
                                      [&cdb](const Command& c) { return is(cdb, c.opcode); });
    const bool refused =
        std::find(config_.refused.begin(), config_.refused.end(), cdb[0]) != config_.refused.end();
    // A block is as long as its group says, whatever length the host claims:
    // no handler reads past what the host sent, and the bytes after it
    // (ATAPI pads every block to 12) are not the command's.
    const std::optional<std::size_t> length = commandLength(cdb[0]);
    Reply reply;
    if (command == commands().end() || refused || !length) {
        reply = Reply::failed(sense::invalidOpcode);
    } else if (cdb.size() < *length) {
        reply = Reply::failed(sense::invalidField);
    } else if (std::optional<Sense> busy = recorder_.backgroundWork(now());
               busy && command->needsDisc) {
        reply = Reply::failed(*busy);
    } else if (std::optional<Sense> notReady = tray_.readiness(now(), true);
               notReady && command->needsDisc) {
        reply = Reply::failed(*notReady);
    } else {
        reply = (this->*command->handler)(Request{cdb.first(*length), toHost, fromHost});
    }
    if (reply.driveGone) {
        gone_ = true;
    }
    // Writes are many and small: they are remembered with the next command
    // that changes the disc, the cache flush that ends them (after which a
    // host may hand the drive to another program), or when the drive goes.
    const bool writing = is(cdb, Opcode::Write10) || is(cdb, Opcode::Write12);
    unsaved_ = unsaved_ || reply.changedDisc;
    if (unsaved_ && (is(cdb, Opcode::SynchronizeCache) || (reply.changedDisc && !writing))) {
        remember();
    }
    if (reply.sense) {
        lastSense_ = reply.sense;
    }
    return reply;
}

Reply Drive::testUnitReady(const Request&) {
    if (std::optional<Sense> busy = recorder_.backgroundWork(now())) {
        return Reply::failed(*busy);
    }
    if (std::optional<Sense> notReady = tray_.readiness(now(), true)) {
        return Reply::failed(*notReady);
    }
    return {};
}

Reply Drive::requestSense(const Request& request) {
    Sense current;
    if (std::optional<Sense> busy = recorder_.backgroundWork(now())) {
        current = *busy;
    } else if (std::optional<Sense> notReady = tray_.readiness(now(), false)) {
        current = *notReady;
    } else if (lastSense_) {
        current = *lastSense_;
    }
    lastSense_.reset();
    Reply reply = answer(current.fixedFormat(), request);
    reply.transferred = std::min<std::size_t>(reply.transferred, request.cdb[4]);
    return reply;
}

Reply Drive::inquiry(const Request& request) {
    if ((request.cdb[1] & 0x01) != 0) {
        return Reply::failed(sense::invalidField); // no vital product data pages
    }
    Bytes data(36, ' ');
    data[0] = 0x05; // CD/DVD device
    data[1] = 0x80; // removable medium
    data[2] = 0x05; // SPC-3
    data[3] = 0x02;
    data[4] = 31;
    data[5] = data[6] = data[7] = 0;
    const std::string_view identity = "EMBERLINEmulated Burner 1.00";
    std::copy(identity.begin(), identity.end(), data.begin() + 8);
    return answer(data, request);
}

Reply Drive::startStop(const Request& request) {
    const bool loadEject = (request.cdb[4] & 0x02) != 0;
    const bool start = (request.cdb[4] & 0x01) != 0;
    if (!loadEject || (request.cdb[4] >> 4) != 0) {
        return {};
    }
    if (start) {
        if (config_.manualTray && tray_.open()) {
            return Reply::failed(sense::invalidField); // the tray is pushed in by hand
        }
        tray_.load(now());
        return {};
    }
    const bool hadDisc = tray_.loaded().has_value();
    if (std::optional<Sense> refused = tray_.eject(now())) {
        return Reply::failed(*refused);
    }
    if (hadDisc) {
        recorder_.discChanged();
        remember();
    }
    return {};
}

Reply Drive::preventAllow(const Request& request) {
    tray_.prevent((request.cdb[4] & 0x01) != 0);
    return {};
}

Reply Drive::eventStatus(const Request& request) {
    if ((request.cdb[1] & 0x01) == 0) {
        return Reply::failed(sense::invalidField); // only polled notification
    }
    // Media events only (MMC-5 6.7, Table 146).
    Bytes data(4, 0);
    data[3] = 0x10;
    if ((request.cdb[4] & 0x10) == 0) {
        put16(data, 0, 2);
        data[2] = 0x80; // no event available
        return answer(data, request);
    }
    data.resize(8, 0);
    put16(data, 0, 6);
    data[2] = 0x04;
    data[4] = static_cast<std::uint8_t>(tray_.takeMediaEvent());
    data[5] = static_cast<std::uint8_t>((tray_.loaded() ? 0x02 : 0) | (tray_.open() ? 0x01 : 0));
    return answer(data, request);
}

Reply Drive::getConfiguration(const Request& request) {
    const bool ready = !tray_.readiness(now(), false);
    return answer(configuration(ready ? disc() : nullptr, !config_.manualTray,
                                request.cdb[1] & 0x03,
                                static_cast<std::uint16_t>(get16(request.cdb, 2))),
                  request);
}

Reply Drive::modeSense(const Request& request) {
    const bool ready = !tray_.readiness(now(), false);
    const std::optional<Bytes> pages =
        emulator::modeSense(request.cdb[2] & 0x3F, recorder_.parameters(),
                            DriveStatus{ready ? disc() : nullptr, rates_, tray_.prevented()});
    return pages ? answer(*pages, request) : Reply::failed(sense::invalidField);
}

Reply Drive::modeSelect(const Request& request) {
    const bool ready = !tray_.readiness(now(), false);
    if (std::optional<Sense> refused = emulator::modeSelect(
            request.fromHost, ready ? disc() : nullptr, recorder_.parameters())) {
        return Reply::failed(*refused);
    }
    return {};
}

Reply Drive::setCdSpeed(const Request& request) {
    const std::uint32_t write = get16(request.cdb, 4);
    rates_.requestWriteSpeed(write == 0xFFFF ? 0 : write);
    return {};
}

Reply Drive::setStreaming(const Request& request) {
    if (request.fromHost.size() < 28) {
        return Reply::failed(sense::parameterListLength);
    }
    // Performance descriptor (MMC-5 6.39.2.1): write size in kB per write time in ms.
    const std::uint64_t size = get32(request.fromHost, 20);
    const std::uint64_t milliseconds = std::max<std::uint32_t>(1, get32(request.fromHost, 24));
    const std::uint64_t speed = size * 1000 / milliseconds;
    rates_.requestWriteSpeed(speed > 0xFFFFFFF ? 0 : static_cast<std::uint32_t>(speed));
    return {};
}

Reply Drive::getPerformance(const Request& request) {
    const MediumFacts& medium = disc()->traits();
    const int type = request.cdb[10];
    const std::int64_t end = disc()->capacity - 1;
    Bytes data(8, 0);
    if (type == 0x03) {
        // Write speed descriptors (MMC-5 6.8.2.3): the header counts them
        // all, however many the host has room for.
        for (const std::uint32_t speed : rates_.writeSpeeds(medium)) {
            const std::size_t at = data.size();
            data.resize(at + 16, 0);
            put32(data, at + 4, static_cast<std::uint32_t>(end));
            put32(data, at + 8, rates_.readSpeed(medium));
            put32(data, at + 12, speed);
        }
        put32(data, 0, static_cast<std::uint32_t>(data.size() - 4));
        data.resize(std::min(data.size(), 8 + 16 * std::size_t{get16(request.cdb, 8)}));
        return answer(data, request);
    }
    if (type != 0x00) {
        return Reply::failed(sense::invalidField);
    }
    // Performance (MMC-5 6.8.2.1), reading or writing as the request says.
    const bool writing = (request.cdb[1] & 0x04) != 0;
    const std::uint32_t speed =
        writing ? rates_.currentWriteSpeed(medium) : rates_.readSpeed(medium);
    data.resize(24, 0);
    data[4] = writing ? 0x02 : 0;
    put32(data, 12, speed);
    put32(data, 16, static_cast<std::uint32_t>(end));
    put32(data, 20, speed);
    put32(data, 0, static_cast<std::uint32_t>(data.size() - 4));
    return answer(data, request);
}

Reply Drive::bufferCapacity(const Request& request) {
    // The drive stands for a burner of the medium it holds, as its speeds do.
    const Disc* held = disc();
    const auto bufferBytes = static_cast<std::uint32_t>(
        factsOf(held != nullptr ? held->traits().family : Family::CD).bufferBytes);
    // What the host wrote and the drive has yet to put on the disc.
    const Clock::duration full = held != nullptr ? rates_.bufferTime(*held) : Clock::duration{};
    const auto unwritten =
        full > Clock::duration::zero()
            ? static_cast<std::uint32_t>(
                  bufferBytes *
                  std::min(1.0, std::chrono::duration<double>(pacer_.behind()) / full))
            : 0u;
    Bytes data(12, 0);
    put16(data, 0, 10);
    put32(data, 4, bufferBytes);
    put32(data, 8, bufferBytes - unwritten);
    return answer(data, request);
}

Reply Drive::discInformation(const Request& request) {
    if ((request.cdb[1] & 0x07) != 0) {
        return Reply::failed(sense::invalidField);
    }
    return answer(emulator::discInformation(*disc()), request);
}

Reply Drive::trackInformation(const Request& request) {
    const std::optional<Bytes> data =
        emulator::trackInformation(*disc(), request.cdb[1] & 0x03, getLba(request.cdb, 2));
    return data ? answer(*data, request) : Reply::failed(sense::invalidField);
}

Reply Drive::tableOfContents(const Request& request) {
    const std::optional<Bytes> data = emulator::tableOfContents(
        *disc(), request.cdb[2] & 0x0F, (request.cdb[1] & 0x02) != 0, request.cdb[6]);
    return data ? answer(*data, request) : Reply::failed(sense::invalidField);
}

Reply Drive::capacity(const Request& request) {
    return answer(readCapacity(*disc()), request);
}

Reply Drive::formatCapacities(const Request& request) {
    return answer(emulator::formatCapacities(*disc()), request);
}

Reply Drive::discStructure(const Request& request) {
    const std::optional<Bytes> data =
        emulator::discStructure(*disc(), request.cdb[1] & 0x0F, request.cdb[7]);
    return data ? answer(*data, request) : Reply::failed(sense::invalidField);
}

Reply Drive::read(const Request& request) {
    const std::int64_t count = transferLength(request.cdb);
    if (request.toHost.size() < static_cast<std::size_t>(count * sectorBytes)) {
        return Reply::failed(sense::invalidField);
    }
    // FUA (MMC-5 6.15): the data comes from the medium, not from a cache.
    const bool forceUnitAccess = (request.cdb[1] & 0x08) != 0;
    return recorder_.read(loaded(), getLba(request.cdb, 2),
                          request.toHost.first(static_cast<std::size_t>(count * sectorBytes)),
                          forceUnitAccess);
}

Reply Drive::write(const Request& request) {
    const std::int64_t count = transferLength(request.cdb);
    if (request.fromHost.size() != static_cast<std::size_t>(count * sectorBytes)) {
        return Reply::failed(sense::parameterListLength);
    }
    return recorder_.write(loaded(), getLba(request.cdb, 2), request.fromHost);
}

Reply Drive::synchronize(const Request&) {
    return recorder_.synchronize(loaded());
}

Reply Drive::closeTrackSession(const Request& request) {
    return recorder_.close(loaded(), request.cdb[2] & 0x07, (request.cdb[1] & 0x01) != 0, now());
}

Reply Drive::reserveTrack(const Request& request) {
    if ((request.cdb[1] & 0x01) != 0) {
        return Reply::failed(sense::invalidField); // reservation by address
    }
    return recorder_.reserve(loaded(), get32(request.cdb, 5));
}

Reply Drive::sendOpc(const Request&) {
    return {};
}

Reply Drive::sendCueSheet(const Request& request) {
    return recorder_.takeCueSheet(loaded(), request.fromHost);
}

Reply Drive::blank(const Request& request) {
    return recorder_.blank(loaded(), request.cdb[1] & 0x07, (request.cdb[1] & 0x10) != 0, now());
}

Reply Drive::formatUnit(const Request& request) {
    if ((request.cdb[1] & 0x17) != 0x11) {
        return Reply::failed(sense::invalidField); // FmtData with format code 001b
    }
    return recorder_.format(loaded(), request.fromHost, now());
}

} // namespace emulator
