// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace emulator {

// The operation codes of the commands the drive knows, by their MMC-5 and
// SPC-3 names; the list gives both the enumeration and the names the
// command log writes.
#define EMULATOR_OPCODES(X)                                                                        \
    X(TestUnitReady, 0x00)                                                                         \
    X(RequestSense, 0x03)                                                                          \
    X(FormatUnit, 0x04)                                                                            \
    X(Inquiry, 0x12)                                                                               \
    X(StartStopUnit, 0x1B)                                                                         \
    X(PreventAllowMediumRemoval, 0x1E)                                                             \
    X(ReadFormatCapacities, 0x23)                                                                  \
    X(ReadCapacity, 0x25)                                                                          \
    X(Read10, 0x28)                                                                                \
    X(Write10, 0x2A)                                                                               \
    X(SynchronizeCache, 0x35)                                                                      \
    X(ReadTocPmaAtip, 0x43)                                                                        \
    X(GetConfiguration, 0x46)                                                                      \
    X(GetEventStatusNotification, 0x4A)                                                            \
    X(ReadDiscInformation, 0x51)                                                                   \
    X(ReadTrackInformation, 0x52)                                                                  \
    X(ReserveTrack, 0x53)                                                                          \
    X(SendOpcInformation, 0x54)                                                                    \
    X(ModeSelect10, 0x55)                                                                          \
    X(ModeSense10, 0x5A)                                                                           \
    X(CloseTrackSession, 0x5B)                                                                     \
    X(ReadBufferCapacity, 0x5C)                                                                    \
    X(SendCueSheet, 0x5D)                                                                          \
    X(Blank, 0xA1)                                                                                 \
    X(Read12, 0xA8)                                                                                \
    X(Write12, 0xAA)                                                                               \
    X(GetPerformance, 0xAC)                                                                        \
    X(ReadDiscStructure, 0xAD)                                                                     \
    X(SetStreaming, 0xB6)                                                                          \
    X(SetCdSpeed, 0xBB)

enum class Opcode : std::uint8_t {
#define EMULATOR_OPCODE_VALUE(name, code) name = (code),
    EMULATOR_OPCODES(EMULATOR_OPCODE_VALUE)
#undef EMULATOR_OPCODE_VALUE
};

// The name of a known operation code, as the list above spells it.
std::optional<std::string_view> opcodeName(std::uint8_t opcode);

// How long a command block of this operation code is, from its group code
// (the top three bits, SPC-3 4.3.4.1); nullopt for the reserved group and
// the vendor-specific ones, whose length a drive of no vendor cannot know.
std::optional<std::size_t> commandLength(std::uint8_t opcode);

} // namespace emulator
