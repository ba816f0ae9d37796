// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace disctool {

enum class GrabStatus {
    Grabbed,
    Missing, // no such drive
    Busy,    // in use by another program, or holding a mounted disc
    Failed,  // anything else, permission included; the reason says what
};

struct GrabResult {
    GrabStatus status = GrabStatus::Failed;
    std::string reason;
};

enum class DiscStatus { Unready, Empty, Blank, Appendable, Full, Unsuitable };

enum class MediumFamily { CD, DVD, BD, File, Unknown };

struct Medium {
    DiscStatus status = DiscStatus::Unready;
    MediumFamily family = MediumFamily::Unknown;
    std::string profileName;
    bool erasable = false;     // rewritable and holding data
    bool multiSession = false; // can be left appendable
    bool canSimulate = false;  // supports a test burn
    std::int64_t freeBytes = 0;
    bool removable = true; // can be ejected for another disc (a file cannot)
};

enum class ActivityKind { Idle, Preparing, Erasing, Writing, Closing, Finishing };

struct Activity {
    ActivityKind kind = ActivityKind::Idle;
    double percent = -1.0; // negative while the drive gives no figure
};

struct WriteJob {
    int imageFd = -1; // borrowed; the drive takes its own duplicate
    std::int64_t imageBytes = 0;
    int kilobytesPerSecond = 0; // 0 is the drive's maximum
    bool leaveAppendable = false;
    bool simulate = false;
    bool useFifo = false;
    std::int64_t startByte = -1; // -1: where the medium wants the track
};

// A burner as the burn flow sees it. Every operation runs on the caller's
// thread except erasing and writing, which start a job that activity()
// follows until it is Idle again.
class Drive {
public:
    virtual ~Drive() = default;

    virtual GrabResult grab() = 0;
    // The medium as last assessed.
    virtual Medium medium() = 0;
    // Looks at the drive again (a disc may have arrived) without letting go of it.
    virtual void reassess() = 0;
    // False once the drive has disappeared from the system.
    virtual bool present() = 0;
    // Ejects the disc and keeps the drive, ready for the next disc.
    virtual GrabResult ejectDisc() = 0;
    // Opens the tray of an empty drive and keeps the drive: a grabbed drive
    // holds its tray locked, so the user could not put a disc in otherwise.
    virtual GrabResult openTray() = 0;

    virtual bool startErase() = 0;
    virtual bool startWrite(const WriteJob& job) = 0;
    virtual Activity activity() = 0;
    // Stops a write; an erase cannot be stopped and runs to its end.
    virtual void cancel() = 0;
    virtual bool lastJobSucceeded() = 0;
    // Makes a burn that succeeded final where the target needs that: a file
    // written under another name takes its target's name. False, with
    // failureReason(), when that fails; nothing else is final before.
    virtual bool commit() = 0;
    // Where the track of the last write starts on the medium.
    virtual std::int64_t trackStartByte() = 0;

    virtual bool read(std::int64_t byteAddress, std::span<char> buffer) = 0;
    // Why the last operation failed, in the drive's own words.
    virtual std::string failureReason() = 0;
    virtual void release(bool eject) = 0;
};

} // namespace disctool
