// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace emulator {

// The operation codes of the commands the drive knows, by their MMC-5 and
// SPC-3 names.
enum class Opcode : std::uint8_t {
    TestUnitReady = 0x00,
    RequestSense = 0x03,
    FormatUnit = 0x04,
    Inquiry = 0x12,
    StartStopUnit = 0x1B,
    PreventAllowMediumRemoval = 0x1E,
    ReadFormatCapacities = 0x23,
    ReadCapacity = 0x25,
    Read10 = 0x28,
    Write10 = 0x2A,
    SynchronizeCache = 0x35,
    ReadTocPmaAtip = 0x43,
    GetConfiguration = 0x46,
    GetEventStatusNotification = 0x4A,
    ReadDiscInformation = 0x51,
    ReadTrackInformation = 0x52,
    ReserveTrack = 0x53,
    SendOpcInformation = 0x54,
    ModeSelect10 = 0x55,
    ModeSense10 = 0x5A,
    CloseTrackSession = 0x5B,
    ReadBufferCapacity = 0x5C,
    SendCueSheet = 0x5D,
    Blank = 0xA1,
    Read12 = 0xA8,
    Write12 = 0xAA,
    GetPerformance = 0xAC,
    ReadDiscStructure = 0xAD,
    SetStreaming = 0xB6,
    SetCdSpeed = 0xBB,
};

} // namespace emulator
