// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/Drive.h"
#include "disctool/IsoVolume.h"
#include "disctool/ProgressReporter.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace disctool {

// What the burn asks of the disc.
struct BurnRequest {
    bool erase = false;
    bool testBurn = false;
    bool leaveAppendable = false;
    std::int64_t imageBytes = 0;
    // The ISO 9660 volume in the image, if it holds one.
    std::optional<IsoVolume> imageVolume;
    int speed = 0; // a multiple of the medium's 1x; 0 is the maximum
    // A drive that stays unready this long will not read the disc.
    std::chrono::milliseconds unreadyLimit{std::chrono::seconds(30)};
    // Some drives report no medium for a moment after loading one: the tray
    // opens only once the drive has been empty this long.
    std::chrono::milliseconds emptySettle{std::chrono::seconds(3)};
};

// What the burn has seen of the disc in the drive so far.
struct DiscHistory {
    std::chrono::milliseconds statusAge{0}; // how long the drive has reported this status
    bool triedFastBlank = false;
    bool triedFullBlank = false;
    bool triedFormat = false;
};

enum class MediumAction {
    Wait,       // the drive is still looking at the disc
    AskForDisc, // no disc
    Format,     // then look again
    EraseFast,  // then look again
    EraseFully, // then look again
    Write,
    Reject, // the disc cannot be used: say which way, eject it, wait for another
    Fail,   // the burn cannot go on: say why
};

struct MediumVerdict {
    MediumAction action = MediumAction::Wait;
    bool openTray = false;                              // AskForDisc
    MediumProblem problem = MediumProblem::NotWritable; // Reject
    std::string reason;                                 // Fail
    // For people: what the disc holds that makes it refused or written over.
    std::string remark;
    // Erasing, formatting or writing: what the disc holds now, or may hold (a
    // read that failed), is lost. A person may want a question first.
    bool overwritesData = false;
    // Write: how.
    bool leaveAppendable = false;
    bool useFifo = false;
    int kilobytesPerSecond = 0;
};

// Every decision about the disc in the drive. A disc that holds data is never
// written over unless erasing was asked for, and an image is never written
// where a reader would not find it; nothing is erased or formatted for a test
// burn or before the image is known to fit.
MediumVerdict decideMedium(const Medium& medium, const DiscHistory& history,
                           const BurnRequest& request);

// Whether a verify must first make the drive read the disc anew: a drive's
// buffer answers for what it wrote, closed or not, until the disc leaves it.
// A file has no such buffer.
bool verifyNeedsReload(const Medium& medium);

} // namespace disctool
