// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The format types of FORMAT UNIT and READ FORMAT CAPACITIES the drive
// offers (MMC-5 6.5.4.2), by their names there.
namespace emulator::formatType {

constexpr std::uint8_t full = 0x00;
constexpr std::uint8_t spareAreaExpansion = 0x01;
constexpr std::uint8_t minusRwFull = 0x10;
constexpr std::uint8_t minusRwQuickGrowLastSession = 0x13;
constexpr std::uint8_t minusRwQuick = 0x15;
constexpr std::uint8_t plusRwBasic = 0x26;
constexpr std::uint8_t bdReWithSpare = 0x30;
constexpr std::uint8_t bdReWithoutSpare = 0x31;
constexpr std::uint8_t bdRWithSpare = 0x32;

} // namespace emulator::formatType
