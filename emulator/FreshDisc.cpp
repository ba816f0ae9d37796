// SPDX-License-Identifier: GPL-3.0-or-later
#include "FreshDisc.h"

#include "IsoVolume.h"
#include "MediumReports.h"

#include <algorithm>
#include <string>

namespace emulator {

namespace {

void writeVolume(BackingStore& store, std::int64_t start, std::int64_t end, int number) {
    if (end - start >= isoVolumeSectors) {
        writeIsoVolume(store, start, end, "EMBERLIN_SESSION_" + std::to_string(number));
    }
}

void recordSessions(Disc& disc, const DiscDescription& description, BackingStore& store) {
    const std::int64_t share = std::max<std::int64_t>(1, description.used / description.sessions);
    for (int session = 1; session <= description.sessions; ++session) {
        const std::int64_t start = disc.nextWritableAddress();
        const std::int64_t sectors = std::min(share, disc.capacity - start);
        if (sectors <= 0 || disc.finalized) {
            break;
        }
        disc.recordWrite(sectors);
        writeVolume(store, start, start + sectors, session);
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
    if (disc.overwritable()) {
        if (description.state != DiscState::Unformatted) {
            // The drive's default format, as a disc comes from the shop or
            // from a first formatting.
            disc.format(formatDescriptors(disc).front().blocks, false);
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
