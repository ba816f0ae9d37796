// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/Arguments.h"
#include "disctool/Drive.h"
#include "disctool/EraseAnswer.h"
#include "disctool/MediumDecision.h"
#include "disctool/PercentPacer.h"
#include "disctool/ProgressReporter.h"
#include "disctool/SignalAbort.h"
#include "disctool/image/DiskImage.h"
#include "protocol/ToolProtocol.h"

#include <chrono>
#include <string>
#include <string_view>

namespace disctool {

// The one way a burn goes, whatever the drive: check the image, grab the
// drive, wait for a usable disc (formatting or erasing it where that is
// asked for and safe), write, verify, eject. What to do with the disc is
// decided by decideMedium alone; the flow carries it out and reports every
// step. The result is the tool's exit status.
class BurnFlow {
public:
    static constexpr int exitSucceeded = 0;
    static constexpr int exitFailed = 1;
    // An aborted burn exits with 128 + the signal's number, as shells expect.
    static constexpr int exitSignalBase = 128;

    BurnFlow(Drive& drive, ProgressReporter& reporter, const SignalAbort& abort,
             BurnOptions options,
             std::chrono::milliseconds unreadyLimit = BurnRequest{}.unreadyLimit);

    int run();

private:
    enum class Outcome { Continue, Succeeded, Failed, NoDrive, Busy, Aborted };
    struct Ending {
        Outcome outcome = Outcome::Continue;
        std::string reason; // for Aborted: what happened before the cancel, if anything
    };

    // `discRejected`: the disc in the drive kept it unready too long, and was
    // said to be unusable.
    Ending grab(bool& discRejected);
    Ending burn(DiskImage& image, bool discRejected);
    // Ends with the disc ready to write as `verdict` says.
    Ending prepareDisc(const BurnRequest& request, bool discRejected, Medium& medium,
                       MediumVerdict& verdict);
    // Tells what a disc about to lose its data holds and, where the caller
    // asked for it, waits for the word to go on: Erase when it did not ask.
    EraseAnswer settleOverwrite(const Medium& medium);
    Ending blank(MediumAction action);
    Ending write(DiskImage& image, const Medium& medium, const MediumVerdict& verdict);
    Ending reloadForVerify(const BurnRequest& request);
    Ending verify(DiskImage& image, const Medium& medium, const BurnRequest& request);
    Ending fromGrab(const GrabResult& result) const;
    int finish(const Ending& ending);

    BurnRequest requestFor(DiskImage& image) const;
    WriteIntent intentOf(const BurnRequest& request) const;
    // Asked once only: a second prompt would move the window on to burning,
    // where the user can no longer cancel.
    void askForDiscOnce();
    bool aborted() const { return abort_.requested() != 0; }
    // Sleeps, but wakes early when an abort is requested.
    void pause(std::chrono::milliseconds duration) const;
    // True when a line went out.
    bool showPercent(double percent);
    // The figures of the disc about to be erased, formatted or written.
    // What a disc refused for lack of room can take, and the image's size, so
    // that the window can tell the user.
    void reportRoom(const Medium& medium, const BurnRequest& request);
    void reportMediumFacts(const Medium& medium, const BurnRequest& request);
    // A progress figure, and the bytes done beside it when a line went out.
    void showProgress(double percent, std::string_view bytesKey, std::int64_t bytes);

    Drive& drive_;
    ProgressReporter& reporter_;
    const SignalAbort& abort_;
    BurnOptions options_;
    std::chrono::milliseconds unreadyLimit_;
    PercentPacer pacer_;
    bool prompted_ = false;
    // What the verify read back, told once the burn is final.
    struct Readback {
        std::string sha256;
        std::string_view from = toolprotocol::readbackFromDisc;
    } readback_;
};

} // namespace disctool
