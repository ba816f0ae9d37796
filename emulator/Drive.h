// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/BackingStore.h"
#include "emulator/CommandLog.h"
#include "emulator/DiscFiles.h"
#include "emulator/DiscStateFile.h"
#include "emulator/DriveClock.h"
#include "emulator/DriveConfig.h"
#include "emulator/Faults.h"
#include "emulator/Opcode.h"
#include "emulator/Pacer.h"
#include "emulator/RateModel.h"
#include "emulator/Recorder.h"
#include "emulator/Reply.h"
#include "emulator/Tray.h"

#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace emulator {

// An optical drive and its discs: it answers the MMC commands a host sends,
// each by the handler its operation code names, takes the time they take on
// `clock`, and remembers what it did to each disc beside the disc's bytes.
class Drive {
public:
    Drive(DriveConfig config, DriveClock& clock);
    ~Drive();
    Drive(const Drive&) = delete;
    Drive& operator=(const Drive&) = delete;

    Reply execute(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> toHost,
                  std::span<const std::uint8_t> fromHost);
    bool present() const { return !gone_; }
    bool heldByAnotherProgram() const { return config_.busy; }
    // CDROM_DRIVE_STATUS: 1 no disc, 2 tray open, 3 not ready, 4 disc ok.
    int trayStatus();

private:
    struct Request {
        std::span<const std::uint8_t> cdb;
        std::span<std::uint8_t> toHost;
        std::span<const std::uint8_t> fromHost;
    };
    using Handler = Reply (Drive::*)(const Request& request);
    struct Command {
        Opcode opcode;
        Handler handler;
        bool needsDisc;
    };
    static const std::vector<Command>& commands();

    Moment now() const { return pacer_.now(polls_); }
    Disc* disc();
    LoadedDisc loaded();
    void remember();
    static Reply answer(const Bytes& reply, const Request& request);

    Reply testUnitReady(const Request& request);
    Reply requestSense(const Request& request);
    Reply inquiry(const Request& request);
    Reply startStop(const Request& request);
    Reply preventAllow(const Request& request);
    Reply eventStatus(const Request& request);
    Reply getConfiguration(const Request& request);
    Reply modeSense(const Request& request);
    Reply modeSelect(const Request& request);
    Reply setCdSpeed(const Request& request);
    Reply setStreaming(const Request& request);
    Reply getPerformance(const Request& request);
    Reply bufferCapacity(const Request& request);
    Reply discInformation(const Request& request);
    Reply trackInformation(const Request& request);
    Reply tableOfContents(const Request& request);
    Reply capacity(const Request& request);
    Reply formatCapacities(const Request& request);
    Reply discStructure(const Request& request);
    Reply read(const Request& request);
    Reply write(const Request& request);
    Reply synchronize(const Request& request);
    Reply closeTrackSession(const Request& request);
    Reply reserveTrack(const Request& request);
    Reply sendOpc(const Request& request);
    Reply sendCueSheet(const Request& request);
    Reply blank(const Request& request);
    Reply formatUnit(const Request& request);

    DriveConfig config_;
    DiscFiles files_;
    DiscStateFile stateFile_;
    std::vector<std::unique_ptr<BackingStore>> stores_;
    RememberedDiscs discs_;
    std::uint64_t polls_ = 0;
    Pacer pacer_;
    Tray tray_;
    RateModel rates_;
    Faults faults_;
    Recorder recorder_;
    CommandLog log_;
    std::optional<Sense> lastSense_;
    bool gone_ = false;
    bool unsaved_ = false;
};

} // namespace emulator
