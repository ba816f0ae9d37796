// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/FreshDisc.h"

#include "emulator/IsoVolume.h"
#include "emulator/MediumReports.h"

#include <algorithm>
#include <fstream>
#include <string>

namespace emulator {

namespace {

void writeVolume(BackingStore& store, std::int64_t start, std::int64_t end, int number) {
    if (end - start >= isoVolumeSectors) {
        writeIsoVolume(store, start, end, "EMBERLIN_SESSION_" + std::to_string(number));
    }
}

// The file's bytes from `start` on, no more than `room` sectors of them; the
// last sector is filled up with zeros.
void copyContents(BackingStore& store, const DiscContents& contents, std::int64_t start,
                  std::int64_t room) {
    std::ifstream in(contents.path, std::ios::binary);
    Bytes chunk(256 * sectorBytes);
    for (std::int64_t lba = start; lba < start + room && in;) {
        in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
        const std::int64_t filled = in.gcount();
        std::fill(chunk.begin() + filled, chunk.end(), 0);
        const std::int64_t sectors =
            std::min((filled + sectorBytes - 1) / sectorBytes, start + room - lba);
        store.write(lba, std::span(chunk).first(static_cast<std::size_t>(sectors * sectorBytes)));
        lba += sectors;
    }
}

void recordSessions(Disc& disc, const DiscDescription& description, BackingStore& store) {
    const std::int64_t firstShare =
        description.contents && description.sessions > 1 ? description.contents->sectors() : 0;
    const std::int64_t share = std::max<std::int64_t>(
        1, (description.used - firstShare) / (description.sessions - (firstShare > 0 ? 1 : 0)));
    for (int session = 1; session <= description.sessions; ++session) {
        const std::int64_t start = disc.nextWritableAddress();
        const std::int64_t sectors =
            std::min(session == 1 && firstShare > 0 ? firstShare : share, disc.capacity - start);
        if (sectors <= 0 || disc.finalized) {
            break;
        }
        disc.recordWrite(sectors);
        if (session == 1 && description.contents) {
            copyContents(store, *description.contents, start, sectors);
        } else {
            writeVolume(store, start, start + sectors, session);
        }
        const bool last = session == description.sessions;
        disc.closeSession(!(last && description.state == DiscState::Full));
    }
}

} // namespace

Disc makeFreshDisc(const DiscDescription& description, BackingStore& store) {
    Disc disc;
    disc.medium = description.medium;
    disc.capacity = description.capacity;
    store.erase();
    if (description.pseudoOverwrite) {
        // Formatted with spare areas for pseudo-overwrite before anything was written.
        disc.format(formatDescriptors(disc).front().blocks, false);
        disc.pseudoOverwrite = true;
    }
    if (disc.overwritable()) {
        if (description.state != DiscState::Unformatted) {
            // The drive's default format, as a disc comes from the shop or
            // from a first formatting.
            disc.format(formatDescriptors(disc).front().blocks, false);
        }
        if (description.contents) {
            copyContents(store, *description.contents, 0, disc.formatted);
            return disc;
        }
        // A full overwritable disc holds one volume as large as its format.
        if (description.state == DiscState::Appendable) {
            writeVolume(store, 0, std::min(description.used, disc.formatted), 1);
        } else if (description.state == DiscState::Full) {
            writeVolume(store, 0, disc.formatted, 1);
        }
        return disc;
    }
    if (description.used > 0 &&
        (description.state == DiscState::Appendable || description.state == DiscState::Full)) {
        recordSessions(disc, description, store);
    }
    return disc;
}

} // namespace emulator
