// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/MediumDecision.h"

#include "disctool/Speed.h"
#include "media/MediumFacts.h"

namespace disctool {

namespace {

using media::sectorBytes;

// The medium pads the last sector, so the image needs whole sectors.
std::int64_t neededBytes(std::int64_t imageBytes) {
    return (imageBytes + sectorBytes - 1) / sectorBytes * sectorBytes;
}

MediumVerdict act(MediumAction action) {
    MediumVerdict verdict;
    verdict.action = action;
    return verdict;
}

MediumVerdict fail(std::string reason) {
    MediumVerdict verdict = act(MediumAction::Fail);
    verdict.reason = std::move(reason);
    return verdict;
}

// A target that cannot be swapped for another (a file) ends the burn instead.
MediumVerdict refuse(MediumProblem problem, const Medium& medium, const BurnRequest& request) {
    if (!medium.removable) {
        switch (problem) {
        case MediumProblem::NoSpace:
            return fail("Not enough room for the image: it needs " +
                        std::to_string(neededBytes(request.imageBytes)) +
                        " bytes, the target has room for " + std::to_string(medium.freeBytes));
        case MediumProblem::NotEraseable:
            return fail("The target holds data and cannot be erased");
        case MediumProblem::NotWritable:
            return fail("The target cannot be written");
        }
    }
    MediumVerdict verdict = act(MediumAction::Reject);
    verdict.problem = problem;
    return verdict;
}

bool fitsOnceBlank(const Medium& medium, const BurnRequest& request) {
    return neededBytes(request.imageBytes) <= medium.capacityBytes;
}

// Nothing is erased or formatted before the image is known to fit: a drive
// that does not tell what the disc holds once blank leaves a doubt, which is
// settled for the data on it.
std::optional<MediumVerdict> refusedBeforeClearing(const Medium& medium,
                                                   const BurnRequest& request) {
    if (medium.capacityBytes <= 0) {
        MediumVerdict verdict = refuse(MediumProblem::NotWritable, medium, request);
        verdict.remark = "The drive does not tell how much this " + medium.profileName +
                         " holds once erased, so it is left as it is: the image might not fit.";
        return verdict;
    }
    if (!fitsOnceBlank(medium, request)) {
        return refuse(MediumProblem::NoSpace, medium, request);
    }
    return std::nullopt;
}

MediumVerdict write(const Medium& medium, const BurnRequest& request) {
    if (neededBytes(request.imageBytes) > medium.freeBytes) {
        return refuse(MediumProblem::NoSpace, medium, request);
    }
    MediumVerdict verdict = act(MediumAction::Write);
    verdict.leaveAppendable = request.leaveAppendable && medium.multiSession;
    // A file takes data as fast as it comes; a real drive must never wait for it.
    verdict.useFifo = medium.kind != fileMedium;
    verdict.kilobytesPerSecond = kilobytesPerSecond(familyOf(medium.kind), request.speed);
    return verdict;
}

// A verdict's own remark says more than the one about the disc.
MediumVerdict explained(MediumVerdict verdict, std::string remark) {
    if (verdict.remark.empty()) {
        verdict.remark = std::move(remark);
    }
    return verdict;
}

// An erase or format that takes what the disc holds with it.
MediumVerdict overwriting(MediumVerdict verdict) {
    verdict.overwritesData = verdict.action == MediumAction::EraseFast ||
                             verdict.action == MediumAction::EraseFully ||
                             verdict.action == MediumAction::Format;
    return verdict;
}

// Any image can be read at the start of a disc; behind earlier sessions, only
// an ISO 9660 volume made for that address.
bool readableWhereItLands(const Medium& medium, const BurnRequest& request) {
    if (!medium.nextWritableSector) {
        return false;
    }
    const std::int64_t start = *medium.nextWritableSector;
    return start == 0 ||
           (request.imageVolume &&
            request.imageVolume->readableAt(start, neededBytes(request.imageBytes) / sectorBytes));
}

MediumVerdict blank(const Medium& medium, const DiscHistory& history, const BurnRequest& request) {
    if (request.testBurn) {
        return fail("A test burn never erases the disc, and this " + medium.profileName +
                    " holds data");
    }
    if (history.triedFullBlank) {
        return fail("The disc still holds data after erasing it");
    }
    if (std::optional<MediumVerdict> refused = refusedBeforeClearing(medium, request)) {
        return *refused;
    }
    // A fast blank leaves a DVD-RW able to take one closed session only, and
    // some drives refuse it: blank fully then.
    const bool fully = history.triedFastBlank ||
                       (request.leaveAppendable &&
                        recordableMedium(medium.kind) == media::Medium::DVDMinusRWSequential);
    return act(fully ? MediumAction::EraseFully : MediumAction::EraseFast);
}

MediumVerdict format(const Medium& medium, const DiscHistory& history, const BurnRequest& request) {
    if (request.testBurn) {
        return fail("A test burn never formats the disc, and this " + medium.profileName +
                    " is not formatted yet");
    }
    if (history.triedFormat) {
        return fail("The disc is still unformatted after formatting it");
    }
    if (std::optional<MediumVerdict> refused = refusedBeforeClearing(medium, request)) {
        return *refused;
    }
    return act(MediumAction::Format);
}

} // namespace

MediumVerdict decideMedium(const Medium& medium, const DiscHistory& history,
                           const BurnRequest& request) {
    switch (medium.status) {
    case DiscStatus::Unready:
        if (history.statusAge >= request.unreadyLimit) {
            return refuse(MediumProblem::NotWritable, medium, request);
        }
        return act(MediumAction::Wait);
    case DiscStatus::Empty: {
        MediumVerdict verdict = act(MediumAction::AskForDisc);
        verdict.openTray = history.statusAge >= request.emptySettle;
        return verdict;
    }
    case DiscStatus::Unsuitable:
        return refuse(MediumProblem::NotWritable, medium, request);
    case DiscStatus::Blank:
    case DiscStatus::Appendable:
    case DiscStatus::Full:
        break;
    }
    if (!isWritable(medium.kind) || medium.pseudoOverwrite) {
        return explained(refuse(MediumProblem::NotWritable, medium, request),
                         medium.pseudoOverwrite ? "This BD-R is formatted for pseudo-overwrite, "
                                                  "which cannot be written in sessions."
                                                : "");
    }
    // Whatever the start of an overwritable disc holds once this burn
    // formatted it is the formatting's own.
    const bool startHoldsData =
        isOverwritable(medium.kind) && medium.content.holdsData() && !history.triedFormat;
    // An image written behind earlier sessions must have been made for that place.
    const bool misplaced = medium.status == DiscStatus::Appendable &&
                           !isOverwritable(medium.kind) && !readableWhereItLands(medium, request);
    // A disc that holds data is cleared first when erasing was asked for, and
    // must be when it takes no more sessions, or none that could be read.
    const bool mustClear =
        startHoldsData ||
        (medium.holdsData && (request.erase || misplaced || medium.status == DiscStatus::Full ||
                              isOverwritable(medium.kind)));
    std::string remark;
    if (startHoldsData) {
        remark = "This " + medium.profileName + " holds " + medium.content.describe() +
                 (request.erase ? "; erasing was asked for, so it is written over."
                                : "; it is written over only when erasing is asked for.");
    } else if (misplaced) {
        remark = (medium.nextWritableSector
                      ? "The image was not mastered to start at sector " +
                            std::to_string(*medium.nextWritableSector) +
                            ", where the next session on this disc begins: written there, it "
                            "could not be read."
                      : std::string("This disc does not say where its next session begins, so "
                                    "the image cannot be placed where it could be read.")) +
                 (request.erase && isBlankable(medium.kind) ? " The disc is erased first, as asked."
                                                            : " It needs a blank disc.");
    }
    if (mustClear) {
        if (!request.erase) {
            if (remark.empty() && isBlankable(medium.kind)) {
                remark = "This " + medium.profileName +
                         " holds data and takes no more sessions; erasing it first would make "
                         "it usable.";
            }
            return explained(refuse(MediumProblem::NotWritable, medium, request), remark);
        }
        if (isBlankable(medium.kind)) {
            return overwriting(explained(blank(medium, history, request), remark));
        }
        // Writing over an overwritable disc is all that erasing it means.
        // Turning erasing off helps only where the disc takes this image as
        // it is; a disc that can be neither erased nor written is not writable.
        if (!isOverwritable(medium.kind)) {
            const bool writableAsItIs = medium.status == DiscStatus::Appendable && !misplaced;
            return explained(
                refuse(writableAsItIs ? MediumProblem::NotEraseable : MediumProblem::NotWritable,
                       medium, request),
                remark);
        }
    }
    if (request.testBurn && !medium.canSimulate) {
        return fail("This disc (" + medium.profileName + ") cannot simulate a burn");
    }
    if (isFormattable(medium.kind) && medium.formatting == Formatting::Unformatted) {
        MediumVerdict verdict = format(medium, history, request);
        return mustClear ? overwriting(std::move(verdict)) : verdict;
    }
    MediumVerdict verdict = write(medium, request);
    if (verdict.action == MediumAction::Write) {
        verdict.remark = std::move(remark);
        // On a disc that had to be cleared, the write itself is the erase.
        verdict.overwritesData = mustClear;
    }
    return verdict;
}

bool verifyNeedsReload(const Medium& medium) {
    return medium.removable;
}

} // namespace disctool
