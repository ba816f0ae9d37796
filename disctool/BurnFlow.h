// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Arguments.h"
#include "Drive.h"
#include "ImageFile.h"
#include "PercentPacer.h"
#include "ProgressReporter.h"
#include "SignalAbort.h"

#include <chrono>
#include <string>

namespace disctool {

// The one way a burn goes, whatever the drive: check the image, grab the
// drive, wait for a usable disc (erasing it when asked and possible), write,
// verify, eject. Every step reports through the reporter; the result is the
// tool's exit status.
class BurnFlow {
public:
    static constexpr int exitSucceeded = 0;
    static constexpr int exitFailed = 1;
    // An aborted burn exits with 128 + the signal's number, as shells expect.
    static constexpr int exitSignalBase = 128;

    BurnFlow(Drive& drive, ProgressReporter& reporter, const SignalAbort& abort,
             BurnOptions options);

    int run();

private:
    enum class Outcome { Continue, Succeeded, Failed, NoDrive, Busy, Aborted };
    struct Ending {
        Outcome outcome = Outcome::Continue;
        std::string reason;
    };

    Ending burn(const ImageFile& image);
    Ending waitForUsableDisc(const ImageFile& image, Medium& medium);
    Ending erase();
    Ending write(const ImageFile& image, const Medium& medium);
    Ending verify(const ImageFile& image);
    Ending fromGrab(const GrabResult& result) const;
    int finish(const Ending& ending);

    bool aborted() const { return abort_.requested() != 0; }
    // Sleeps, but wakes early when an abort is requested.
    void pause(std::chrono::milliseconds duration) const;
    void showPercent(double percent);

    Drive& drive_;
    ProgressReporter& reporter_;
    const SignalAbort& abort_;
    BurnOptions options_;
    PercentPacer pacer_;
    bool prompted_ = false;
};

} // namespace disctool
