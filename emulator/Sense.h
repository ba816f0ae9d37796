// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Bytes.h"

#include <cstdint>
#include <optional>

namespace emulator {

// Why a command failed: sense key, additional sense code and qualifier
// (SPC-3 4.5.6 and the ASC/ASCQ list of MMC-5 Annex F), for a long
// operation how far it got, in 1/65536, and for a block that could not be
// read its address.
struct Sense {
    std::uint8_t key = 0;
    std::uint8_t asc = 0;
    std::uint8_t ascq = 0;
    std::optional<std::uint16_t> progress;
    std::optional<std::uint32_t> information;

    // Fixed-format sense data, 18 bytes (SPC-3 4.5.3).
    Bytes fixedFormat() const;
};

namespace sense {

constexpr std::uint8_t notReady = 0x2;
constexpr std::uint8_t mediumError = 0x3;
constexpr std::uint8_t illegalRequest = 0x5;
constexpr std::uint8_t unitAttention = 0x6;

constexpr Sense noMediumTrayClosed{notReady, 0x3A, 0x01, {}, {}};
constexpr Sense noMediumTrayOpen{notReady, 0x3A, 0x02, {}, {}};
constexpr Sense becomingReady{notReady, 0x04, 0x01, {}, {}};
constexpr Sense formatInProgress{notReady, 0x04, 0x04, {}, {}};
constexpr Sense operationInProgress{notReady, 0x04, 0x07, {}, {}};
constexpr Sense writeError{mediumError, 0x0C, 0x00, {}, {}};
constexpr Sense unrecoveredReadError{mediumError, 0x11, 0x00, {}, {}};
constexpr Sense parameterListLength{illegalRequest, 0x1A, 0x00, {}, {}};
constexpr Sense invalidOpcode{illegalRequest, 0x20, 0x00, {}, {}};
constexpr Sense lbaOutOfRange{illegalRequest, 0x21, 0x00, {}, {}};
constexpr Sense invalidWriteAddress{illegalRequest, 0x21, 0x02, {}, {}};
constexpr Sense invalidField{illegalRequest, 0x24, 0x00, {}, {}};
constexpr Sense invalidParameter{illegalRequest, 0x26, 0x00, {}, {}};
constexpr Sense commandSequenceError{illegalRequest, 0x2C, 0x00, {}, {}};
constexpr Sense incompatibleMedium{illegalRequest, 0x30, 0x00, {}, {}};
constexpr Sense cannotWriteFormat{illegalRequest, 0x30, 0x05, {}, {}};
constexpr Sense cannotFormat{illegalRequest, 0x30, 0x06, {}, {}};
constexpr Sense notFormatted{mediumError, 0x31, 0x00, {}, {}};
constexpr Sense removalPrevented{illegalRequest, 0x53, 0x02, {}, {}};
constexpr Sense endOfUserArea{illegalRequest, 0x63, 0x00, {}, {}};
constexpr Sense emptyReservedTrack{illegalRequest, 0x72, 0x04, {}, {}};
constexpr Sense mediumChanged{unitAttention, 0x28, 0x00, {}, {}};

} // namespace sense

} // namespace emulator
