// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/ModePages.h"

namespace emulator {

namespace {

Bytes writeParametersPage(const WriteParameters& parameters) {
    Bytes page(52, 0);
    page[0] = 0x05;
    page[1] = 0x32;
    page[2] = static_cast<std::uint8_t>((parameters.underrunFree ? 0x40 : 0) |
                                        (parameters.linkSize != 0 ? 0x20 : 0) |
                                        (parameters.testWrite ? 0x10 : 0) | parameters.writeType);
    page[3] =
        static_cast<std::uint8_t>(parameters.multiSession << 6 |
                                  (parameters.packetSize != 0 ? 0x20 : 0) | parameters.trackMode);
    page[4] = parameters.dataBlockType;
    page[5] = parameters.linkSize;
    put32(page, 10, parameters.packetSize);
    put16(page, 14, 150); // audio pause length
    return page;
}

Bytes errorRecoveryPage() {
    Bytes page(12, 0);
    page[0] = 0x01;
    page[1] = 0x0A;
    page[3] = 32; // read retries
    page[8] = 32; // write retries
    return page;
}

// The legacy capabilities and mechanical status page (MMC-3 5.5.10, kept by
// MMC-5 Annex E.11), with write speed descriptors for the loaded medium.
Bytes capabilitiesPage(const DriveStatus& status) {
    const MediumFacts& medium =
        status.disc != nullptr ? status.disc->traits() : factsOf(Medium::CDR);
    const std::vector<std::uint32_t> speeds = status.rates.writeSpeeds(medium);
    Bytes page(32 + 4 * speeds.size(), 0);
    page[0] = 0x2A;
    page[1] = static_cast<std::uint8_t>(page.size() - 2);
    page[2] = 0x3F; // reads DVD-RAM, DVD-R, DVD-ROM, mode 2, CD-RW, CD-R
    page[3] = 0x37; // writes DVD-RAM, DVD-R, test writes, CD-RW, CD-R
    page[4] = 0xF0; // buffer underrun free, multi-session, mode 2 forms 1 and 2
    page[6] = static_cast<std::uint8_t>(0x20 | 0x08 | (status.locked ? 0x02 : 0) | 0x01);
    put16(page, 8, status.rates.readSpeed(medium));
    put16(page, 10, 256);
    put16(page, 12, static_cast<std::uint32_t>(factsOf(medium.family).bufferBytes / 1024));
    put16(page, 14, status.rates.readSpeed(medium));
    put16(page, 18, speeds.front());
    put16(page, 20, status.rates.currentWriteSpeed(medium));
    put16(page, 28, status.rates.currentWriteSpeed(medium));
    put16(page, 30, static_cast<std::uint32_t>(speeds.size()));
    for (std::size_t i = 0; i < speeds.size(); ++i) {
        put16(page, 34 + 4 * i, speeds[i]);
    }
    return page;
}

std::optional<Sense> takeWriteParameters(std::span<const std::uint8_t> page, const Disc* disc,
                                         WriteParameters& parameters) {
    if (page.size() < 6) {
        return sense::parameterListLength;
    }
    WriteParameters wanted = parameters;
    wanted.underrunFree = (page[2] & 0x40) != 0;
    wanted.testWrite = (page[2] & 0x10) != 0;
    wanted.writeType = page[2] & 0x0F;
    wanted.multiSession = page[3] >> 6;
    wanted.trackMode = page[3] & 0x0F;
    wanted.dataBlockType = page[4] & 0x0F;
    wanted.linkSize = (page[2] & 0x20) != 0 ? page[5] : 0;
    wanted.packetSize = page.size() >= 14 && (page[3] & 0x20) != 0 ? get32(page, 10) : 0;
    if (disc != nullptr) {
        const MediumFacts& traits = disc->traits();
        bool usable = true;
        if (traits.family == Family::CD) {
            // Track at once with 2048-byte data blocks, or session at once.
            usable = (wanted.writeType == 1 && wanted.dataBlockType == 8) || wanted.writeType == 2;
        } else if (disc->dvdMinusSequential()) {
            usable =
                (wanted.writeType == 0 && wanted.dataBlockType == 8 && disc->incrementalAllowed) ||
                wanted.writeType == 2;
        }
        if (!usable || (wanted.testWrite && !traits.testWrite)) {
            return sense::invalidParameter;
        }
    }
    parameters = wanted;
    return std::nullopt;
}

} // namespace

std::optional<Bytes> modeSense(int page, const WriteParameters& parameters,
                               const DriveStatus& status) {
    Bytes out(8, 0);
    const auto append = [&out](const Bytes& bytes) {
        out.insert(out.end(), bytes.begin(), bytes.end());
    };
    if (page == 0x01 || page == 0x3F) {
        append(errorRecoveryPage());
    }
    if (page == 0x05 || page == 0x3F) {
        append(writeParametersPage(parameters));
    }
    if (page == 0x2A || page == 0x3F) {
        append(capabilitiesPage(status));
    }
    if (out.size() == 8) {
        return std::nullopt;
    }
    put16(out, 0, static_cast<std::uint32_t>(out.size() - 2));
    return out;
}

std::optional<Sense> modeSelect(std::span<const std::uint8_t> list, const Disc* disc,
                                WriteParameters& parameters) {
    if (list.size() < 8) {
        return sense::parameterListLength;
    }
    std::size_t at = 8 + get16(list, 6); // after the header and block descriptors
    while (at + 2 <= list.size()) {
        const int code = list[at] & 0x3F;
        const std::size_t length = std::min<std::size_t>(list[at + 1] + 2u, list.size() - at);
        const std::span<const std::uint8_t> page = list.subspan(at, length);
        if (code == 0x05) {
            if (const std::optional<Sense> refused = takeWriteParameters(page, disc, parameters)) {
                return refused;
            }
        } else if (code != 0x01) {
            return sense::invalidParameter;
        }
        at += length;
    }
    return std::nullopt;
}

} // namespace emulator
