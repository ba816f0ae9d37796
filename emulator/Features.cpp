// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Features.h"

#include <algorithm>
#include <array>
#include <functional>

namespace emulator {

namespace {

struct Feature {
    std::uint16_t code;
    std::uint8_t version;
    bool persistent;
    std::function<bool(const Disc&)> current;
    std::function<Bytes(const Disc*, bool trayLoads)> data;
};

bool is(const Disc& disc, std::initializer_list<Medium> media) {
    return std::find(media.begin(), media.end(), disc.medium) != media.end();
}

Bytes fixed(std::initializer_list<std::uint8_t> bytes) {
    return Bytes(bytes);
}

std::uint16_t blocking(const Disc& disc) {
    switch (disc.traits().family) {
    case Family::CD:
        return 1;
    case Family::DVD:
        return 16;
    case Family::BD:
        return 32;
    }
    return 1;
}

// Every profile the drive supports, newest first (MMC-5 Table 89).
constexpr std::array<Medium, 12> profileOrder{
    Medium::BDRE,
    Medium::BDR,
    Medium::DVDPlusRDualLayer,
    Medium::DVDPlusR,
    Medium::DVDPlusRW,
    Medium::DVDMinusRDualLayer,
    Medium::DVDMinusRWSequential,
    Medium::DVDMinusRWRestrictedOverwrite,
    Medium::DVDRAM,
    Medium::DVDMinusR,
    Medium::CDRW,
    Medium::CDR,
};

Bytes profileList(const Disc* disc, bool) {
    Bytes data;
    for (const Medium medium : profileOrder) {
        const std::uint16_t profile = factsOf(medium).profile;
        const bool current = disc != nullptr && disc->traits().profile == profile;
        data.insert(data.end(),
                    {static_cast<std::uint8_t>(profile >> 8), static_cast<std::uint8_t>(profile),
                     current ? std::uint8_t{1} : std::uint8_t{0}, 0});
    }
    return data;
}

Bytes randomReadable(const Disc* disc, bool) {
    Bytes data(8, 0);
    put32(data, 0, static_cast<std::uint32_t>(sectorBytes));
    put16(data, 4, disc != nullptr ? blocking(*disc) : 1);
    return data;
}

Bytes randomWritable(const Disc* disc, bool) {
    Bytes data(12, 0);
    if (disc != nullptr) {
        put32(data, 0, static_cast<std::uint32_t>(std::max<std::int64_t>(0, disc->formatted - 1)));
        put16(data, 8, blocking(*disc));
    }
    put32(data, 4, static_cast<std::uint32_t>(sectorBytes));
    return data;
}

// Incremental streaming writable: data block type 8 (mode 1), and the link
// size: 7 blocks on CD, 16 on DVD-R (MMC-5 5.3.11).
Bytes incrementalStreaming(const Disc* disc, bool) {
    const bool cd = disc == nullptr || disc->traits().family == Family::CD;
    return fixed({0x01, 0x00, 0x01, 1, cd ? std::uint8_t{7} : std::uint8_t{16}, 0, 0, 0});
}

// Removable medium (MMC-6 5.3.4, version 2): a tray that ejects and locks,
// with the Load bit set when the drive can also pull it in. A laptop's tray
// is pushed in by hand: Load clear.
Bytes removableMedium(const Disc*, bool trayLoads) {
    return fixed({static_cast<std::uint8_t>(0x20 | (trayLoads ? 0x10 : 0) | 0x08 | 0x01), 0, 0, 0});
}

// BD Read and BD Write (MMC-6 5.3.31, 5.3.32): after four bytes (SVNR
// for writing), a bitmap of the format versions each class of BD-RE,
// BD-R and BD-ROM discs is read or written in; class 0 only, as on a drive
// of 25 GB layers: BD-RE version 2, BD-R and BD-ROM version 1.
Bytes bdClassBitmaps(std::uint16_t rewritable, std::uint16_t recordable, std::uint16_t readOnly) {
    Bytes data(28, 0);
    put16(data, 4, rewritable);
    put16(data, 12, recordable);
    put16(data, 20, readOnly);
    return data;
}

constexpr std::uint16_t version1 = 1 << 1;
constexpr std::uint16_t version2 = 1 << 2;

const std::vector<Feature>& features() {
    const auto always = [](const Disc&) {
        return true;
    };
    const auto dvd = [](const Disc& disc) {
        return disc.traits().family == Family::DVD;
    };
    const auto bd = [](const Disc& disc) {
        return disc.traits().family == Family::BD;
    };
    const auto cdWrite = [](const Disc& disc) {
        return is(disc, {Medium::CDR, Medium::CDRW});
    };
    const auto dvdMinusWrite = [](const Disc& disc) {
        return is(disc,
                  {Medium::DVDMinusR, Medium::DVDMinusRDualLayer, Medium::DVDMinusRWSequential});
    };
    static const std::vector<Feature> all{
        {0x0000, 0, true, always, profileList},
        // Core: ATAPI, with INQUIRY2 and device busy events.
        {0x0001, 2, true, always,
         [](const Disc*, bool) {
             return fixed({0, 0, 0, 2, 0x03, 0, 0, 0});
         }},
        {0x0002, 1, true, always,
         [](const Disc*, bool) {
             return fixed({0x02, 0, 0, 0});
         }},
        {0x0003, 2, true, always, removableMedium},
        {0x0010, 0, false, always, randomReadable},
        {0x001D, 0, false, always,
         [](const Disc*, bool) {
             return Bytes();
         }},
        {0x001E, 2, false, [](const Disc& disc) { return disc.traits().family == Family::CD; },
         [](const Disc*, bool) {
             return fixed({0, 0, 0, 0});
         }},
        {0x001F, 1, false, dvd,
         [](const Disc*, bool) {
             return fixed({0, 0, 0, 0});
         }},
        {0x0020, 0, false,
         [](const Disc& disc) {
             return disc.overwritable() && disc.formatState != FormatState::None;
         },
         randomWritable},
        {0x0021, 1, false,
         [=](const Disc& disc) {
             return cdWrite(disc) || (dvdMinusWrite(disc) && disc.incrementalAllowed);
         },
         incrementalStreaming},
        // Formattable, with BD certification and quick certification.
        {0x0023, 0, false, [](const Disc& disc) { return disc.traits().formattable; },
         [](const Disc*, bool) {
             return fixed({0x03, 0, 0, 0, 0, 0, 0, 0});
         }},
        {0x0024, 0, false,
         [](const Disc& disc) {
             return is(disc, {Medium::DVDRAM, Medium::BDRE});
         },
         [](const Disc*, bool) {
             return fixed({0x80, 0, 0, 0});
         }},
        {0x0027, 0, false, [](const Disc& disc) { return disc.medium == Medium::CDRW; },
         [](const Disc*, bool) {
             return fixed({0, 0, 0, 0});
         }},
        {0x002A, 1, false, [](const Disc& disc) { return disc.medium == Medium::DVDPlusRW; },
         [](const Disc*, bool) {
             return fixed({0x01, 0x00, 0, 0});
         }},
        {0x002B, 0, false, [](const Disc& disc) { return disc.medium == Medium::DVDPlusR; },
         [](const Disc*, bool) {
             return fixed({0x01, 0, 0, 0});
         }},
        // Rigid restricted overwrite: blank, intermediate and defect status.
        {0x002C, 1, false,
         [](const Disc& disc) {
             return is(disc, {Medium::DVDMinusRWRestrictedOverwrite, Medium::DVDMinusRWSequential});
         },
         [](const Disc*, bool) {
             return fixed({0x0F, 0, 0, 0});
         }},
        // CD track at once: buffer underrun free, test write, CD-RW, mode 1.
        {0x002D, 2, false, cdWrite,
         [](const Disc*, bool) {
             return fixed({0x46, 0, 0x01, 0x00});
         }},
        // CD mastering: session at once, test write, CD-RW; cue sheets up to 64 KiB.
        {0x002E, 0, false, cdWrite,
         [](const Disc*, bool) {
             return fixed({0x66, 0x00, 0xFF, 0xFF});
         }},
        // DVD-R/-RW write: buffer underrun free, dual layer, test write, DVD-RW.
        {0x002F, 1, false, dvdMinusWrite,
         [](const Disc*, bool) {
             return fixed({0x4E, 0, 0, 0});
         }},
        // BD-R pseudo-overwrite (MMC-6 5.3.29): current on a BD-R formatted for it.
        {0x0038, 0, false, [](const Disc& disc) { return disc.pseudoOverwrite; },
         [](const Disc*, bool) {
             return fixed({0, 0, 0, 0});
         }},
        {0x003B, 0, false,
         [](const Disc& disc) { return disc.medium == Medium::DVDPlusRDualLayer; },
         [](const Disc*, bool) {
             return fixed({0x01, 0, 0, 0});
         }},
        {0x0040, 1, false, bd,
         [](const Disc*, bool) {
             return bdClassBitmaps(version2, version1, version1);
         }},
        {0x0041, 1, false,
         [](const Disc& disc) {
             return is(disc, {Medium::BDR, Medium::BDRE});
         },
         [](const Disc*, bool) {
             return bdClassBitmaps(version2, version1, 0);
         }},
        {0x0100, 0, true, always,
         [](const Disc*, bool) {
             return Bytes();
         }},
        {0x0105, 1, true, always,
         [](const Disc*, bool) {
             return fixed({0, 0, 0, 0});
         }},
        // Real time streaming: SET STREAMING, GET PERFORMANCE write speeds, SET CD SPEED.
        {0x0107, 4, true, always,
         [](const Disc*, bool) {
             return fixed({0x0B, 0, 0, 0});
         }},
    };
    return all;
}

} // namespace

Bytes configuration(const Disc* disc, bool trayLoads, int requestType, std::uint16_t starting) {
    Bytes out(8, 0);
    if (disc != nullptr) {
        put16(out, 6, disc->traits().profile);
    }
    for (const Feature& feature : features()) {
        const bool current = feature.persistent || (disc != nullptr && feature.current(*disc));
        if (feature.code < starting || (requestType == 1 && !current) ||
            (requestType == 2 && feature.code != starting)) {
            continue;
        }
        const Bytes data = feature.data(disc, trayLoads);
        const std::size_t at = out.size();
        out.resize(at + 4, 0);
        put16(out, at, feature.code);
        out[at + 2] = static_cast<std::uint8_t>(feature.version << 2 |
                                                (feature.persistent ? 2 : 0) | (current ? 1 : 0));
        out[at + 3] = static_cast<std::uint8_t>(data.size());
        out.insert(out.end(), data.begin(), data.end());
    }
    put32(out, 0, static_cast<std::uint32_t>(out.size() - 4));
    return out;
}

} // namespace emulator
