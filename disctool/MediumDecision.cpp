// SPDX-License-Identifier: GPL-3.0-or-later
#include "MediumDecision.h"

namespace disctool {

namespace {

MediumDecision writeIfRoom(const Medium& medium, std::int64_t imageBytes) {
    // The medium pads the last sector, so the image needs whole sectors.
    const std::int64_t sectorBytes = 2048;
    const std::int64_t needed = (imageBytes + sectorBytes - 1) / sectorBytes * sectorBytes;
    return needed > medium.freeBytes ? MediumDecision::NoSpace : MediumDecision::Write;
}

} // namespace

MediumDecision decideMedium(const Medium& medium, bool eraseRequested, std::int64_t imageBytes) {
    switch (medium.status) {
    case DiscStatus::Unready:
    case DiscStatus::Empty:
        return MediumDecision::Wait;
    case DiscStatus::Blank:
        return writeIfRoom(medium, imageBytes);
    case DiscStatus::Appendable:
        if (eraseRequested) {
            return medium.erasable ? MediumDecision::Erase : MediumDecision::NotEraseable;
        }
        return writeIfRoom(medium, imageBytes);
    case DiscStatus::Full:
    case DiscStatus::Unsuitable:
        if (eraseRequested) {
            return medium.erasable ? MediumDecision::Erase : MediumDecision::NotEraseable;
        }
        return MediumDecision::NotWritable;
    }
    return MediumDecision::Wait;
}

} // namespace disctool
