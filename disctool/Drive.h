// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/DiscContent.h"
#include "disctool/MediumKind.h"
#include "disctool/image/ImageStream.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>

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

enum class Formatting { Unknown, Unformatted, Formatted };

// What the drive says about the disc in it, as plain facts.
struct Medium {
    DiscStatus status = DiscStatus::Unready;
    MediumKind kind;
    std::string profileName;
    Formatting formatting = Formatting::Unknown;
    // Sessions (a disc that is not blank).
    bool holdsData = false;
    // What the start of a formatted overwritable disc holds, which libburn
    // calls blank whatever it holds.
    DiscContent content;
    // A sequential disc's sessions: how many, their bytes, and what the last
    // one starts with (a volume libblkid recognises, with its name).
    int sessions = 0;
    std::int64_t sessionBytes = 0;
    DiscContent lastSession;
    // Where the next session starts on a disc that holds sessions; nullopt
    // when the drive does not say.
    std::optional<std::int64_t> nextWritableSector;
    // A BD-R formatted for pseudo-overwrite, which libburn does not write.
    bool pseudoOverwrite = false;
    // What the disc takes once blank (erased or formatted); 0 when unknown.
    std::int64_t capacityBytes = 0;
    // What it takes now, with the write options of this burn.
    std::int64_t freeBytes = 0;
    bool canSimulate = false;  // supports a test burn as it is
    bool multiSession = false; // can be left appendable
    bool removable = true;     // can be ejected for another disc (a file cannot)
};

// The write options a burn will use, which the free space depends on.
struct WriteIntent {
    bool leaveAppendable = false; // where the medium allows it
    bool simulate = false;
};

enum class ActivityKind { Idle, Preparing, Erasing, Writing, Closing, Finishing };

struct Activity {
    ActivityKind kind = ActivityKind::Idle; // Erasing also stands for formatting
    double percent = -1.0;                  // negative while the drive gives no figure
    std::int64_t bytes = -1;                // of the track written so far; negative when unknown
};

struct WriteJob {
    std::shared_ptr<ImageStream> image; // read once, from its start
    int imageFileFd = -1;               // borrowed: the file that holds the image
    std::int64_t imageBytes = 0;
    int kilobytesPerSecond = 0; // 0 is the drive's maximum
    bool leaveAppendable = false;
    bool simulate = false;
    bool useFifo = false;
    std::int64_t startByte = -1; // -1: where the medium wants the track
    // Asked once more right before the write starts: a cancel during the
    // preparation must not cost a blank write-once disc.
    std::function<bool()> cancelRequested;
};

// How a drive was made to read the disc anew before a verify.
enum class Reload {
    Reloaded,      // ejected and loaded again: the drive reads the disc itself
    RegrabbedOnly, // its tray cannot close by itself: it may still answer from its cache
    Failed,
};

// A burner as the burn flow sees it. Every operation runs on the caller's
// thread except erasing, formatting and writing, which start a job that
// activity() follows until it is Idle again.
class Drive {
public:
    virtual ~Drive() = default;

    // Starts taking the drive. libburn takes it only once it is ready, and
    // keeps at it for as long as the drive says it is becoming ready
    // (minutes): grabbed() has the result once it is there.
    virtual void startGrab() = 0;
    virtual std::optional<GrabResult> grabbed() = 0;
    // Whether libburn still works on taking the drive: nothing of libburn
    // may be shut down under it then.
    virtual bool grabbing() = 0;
    // The medium as last assessed.
    virtual Medium medium(const WriteIntent& intent) = 0;
    // Looks at the drive again (a disc may have arrived) without letting go of it.
    virtual void reassess() = 0;
    // False once the drive has disappeared from the system.
    virtual bool present() = 0;
    // Ejects the disc and keeps the drive, ready for the next disc.
    virtual GrabResult ejectDisc() = 0;
    // Opens the tray of an empty drive and keeps the drive: a grabbed drive
    // holds its tray locked, so the user could not put a disc in otherwise.
    virtual GrabResult openTray() = 0;
    // Lets go of the drive and takes it again, loading the disc anew where
    // the tray closes by itself.
    virtual Reload reloadMedium() = 0;

    // A fast blank erases only the disc's table of contents.
    virtual bool startErase(bool fast) = 0;
    virtual bool startFormat() = 0;
    virtual bool startWrite(const WriteJob& job) = 0;
    virtual Activity activity() = 0;
    // Waits until the running job may have moved on, `most` at the longest;
    // a drive that can tell when its job ends returns then at once.
    virtual void awaitChange(std::chrono::milliseconds most) { std::this_thread::sleep_for(most); }
    // Stops a write; an erase or format cannot be stopped and runs to its end.
    virtual void cancel() = 0;
    virtual bool lastJobSucceeded() = 0;
    // Makes a burn that succeeded final where the target needs that: a file
    // written under another name takes its target's name. False, with
    // failureReason(), when that fails; nothing else is final before.
    virtual bool commit() = 0;
    // Where the track of the last write starts on the medium.
    virtual std::int64_t trackStartByte() = 0;
    // The speed the drive took for the last write, in kB/s; 0 when unknown,
    // speedRefused when the drive did not take the one asked for.
    static constexpr int speedRefused = -1;
    virtual int writeSpeed() = 0;
    // The speed the drive reads this disc at, in kB/s; 0 when unknown.
    virtual int readSpeed() = 0;
    // Lower-case hex SHA-256 of the bytes the last write fed to the drive,
    // once the whole image went; empty before.
    virtual std::string writtenSha256() = 0;

    virtual bool read(std::int64_t byteAddress, std::span<char> buffer) = 0;
    // Why the last operation failed, in the drive's own words.
    virtual std::string failureReason() = 0;
    virtual void release(bool eject) = 0;
};

} // namespace disctool
