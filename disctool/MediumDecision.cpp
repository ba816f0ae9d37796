// SPDX-License-Identifier: GPL-3.0-or-later
#include "MediumDecision.h"

namespace disctool {

namespace {

// The medium pads the last sector, so the image needs whole sectors.
std::int64_t neededBytes(std::int64_t imageBytes) {
    const std::int64_t sectorBytes = 2048;
    return (imageBytes + sectorBytes - 1) / sectorBytes * sectorBytes;
}

MediumDecision writeIfRoom(const Medium& medium, std::int64_t imageBytes) {
    return neededBytes(imageBytes) > medium.freeBytes ? MediumDecision::NoSpace
                                                      : MediumDecision::Write;
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

std::string refusalReason(MediumProblem problem, const Medium& medium, std::int64_t imageBytes) {
    switch (problem) {
    case MediumProblem::NoSpace:
        return "Not enough room for the image: it needs " +
               std::to_string(neededBytes(imageBytes)) + " bytes, the target has room for " +
               std::to_string(medium.freeBytes);
    case MediumProblem::NotEraseable:
        return "The target holds data and cannot be erased";
    case MediumProblem::NotWritable:
        break;
    }
    return "The target cannot be written";
}

} // namespace disctool
