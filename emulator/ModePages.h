// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Bytes.h"
#include "emulator/Disc.h"
#include "emulator/RateModel.h"
#include "emulator/Sense.h"

#include <cstdint>
#include <optional>
#include <span>

namespace emulator {

// The Write Parameters mode page 05h (MMC-5 7.5), as the host last set it.
struct WriteParameters {
    std::uint8_t writeType = 1; // 0 incremental, 1 track at once, 2 session/disc at once
    bool testWrite = false;
    bool underrunFree = false;
    std::uint8_t multiSession = 0; // 3: the next session is allowed
    std::uint8_t trackMode = 4;
    std::uint8_t dataBlockType = 8; // 8: mode 1, 2048 bytes
    std::uint8_t linkSize = 0;
    std::uint32_t packetSize = 0;

    bool keepsAppendable() const { return multiSession == 3; }
};

// What MODE SENSE reports of the drive besides the write parameters.
struct DriveStatus {
    const Disc* disc; // null without a disc
    const RateModel& rates;
    bool locked;
};

// MODE SENSE(10) of one page (05h, 01h, 2Ah) or all (3Fh), with the mode
// parameter header; nullopt for a page the drive does not have.
std::optional<Bytes> modeSense(int page, const WriteParameters& parameters,
                               const DriveStatus& status);
// MODE SELECT(10): takes the pages it understands, refuses what the disc
// cannot be written with.
std::optional<Sense> modeSelect(std::span<const std::uint8_t> list, const Disc* disc,
                                WriteParameters& parameters);

} // namespace emulator
