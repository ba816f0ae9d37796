// SPDX-License-Identifier: GPL-3.0-or-later
#include "BurnFlow.h"

#include "MediumDecision.h"
#include "Speed.h"
#include "Verifier.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>

namespace disctool {

namespace {

using namespace std::chrono_literals;

// How often a running job is looked at: often enough that progress lines come
// at least every second, a cancel is noticed at once, and the end of a fast
// write to a file is not left waiting.
constexpr auto pollInterval = 25ms;
// How often an empty drive is looked at again.
constexpr auto discPollInterval = 500ms;

std::string signalName(int signal) {
    switch (signal) {
    case SIGTERM:
        return "SIGTERM";
    case SIGHUP:
        return "SIGHUP";
    case SIGINT:
        return "SIGINT";
    default:
        return "signal " + std::to_string(signal);
    }
}

} // namespace

BurnFlow::BurnFlow(Drive& drive, ProgressReporter& reporter, const SignalAbort& abort,
                   BurnOptions options)
    : drive_(drive)
    , reporter_(reporter)
    , abort_(abort)
    , options_(std::move(options)) {}

int BurnFlow::run() {
    std::string problem;
    const std::optional<ImageFile> image = ImageFile::open(options_.imagePath, problem);
    if (!image) {
        return finish({Outcome::Failed, problem});
    }
    const GrabResult grabbed = drive_.grab();
    if (grabbed.status != GrabStatus::Grabbed) {
        drive_.release(false);
        return finish(fromGrab(grabbed));
    }
    const Ending ending = burn(*image);
    drive_.release(ending.outcome == Outcome::Succeeded && options_.eject);
    return finish(ending);
}

BurnFlow::Ending BurnFlow::burn(const ImageFile& image) {
    Medium medium;
    if (Ending waited = waitForUsableDisc(image, medium); waited.outcome != Outcome::Continue) {
        return waited;
    }
    if (options_.testBurn && !medium.canSimulate) {
        return {Outcome::Failed, "This disc (" + medium.profileName + ") cannot simulate a burn"};
    }
    if (Ending written = write(image, medium); written.outcome != Outcome::Continue) {
        return written;
    }
    // A simulated burn leaves nothing to read back.
    if (options_.verify && !options_.testBurn) {
        if (Ending verified = verify(image); verified.outcome != Outcome::Continue) {
            return verified;
        }
    }
    if (!drive_.commit()) {
        return {Outcome::Failed, drive_.failureReason()};
    }
    return {Outcome::Succeeded, {}};
}

BurnFlow::Ending BurnFlow::waitForUsableDisc(const ImageFile& image, Medium& medium) {
    bool erasedThisDisc = false;
    for (;;) {
        if (aborted()) {
            return {Outcome::Aborted, {}};
        }
        if (!drive_.present()) {
            return {Outcome::NoDrive, "the drive disappeared"};
        }
        medium = drive_.medium();
        const MediumDecision decision = decideMedium(medium, options_.erase, image.size());
        switch (decision) {
        case MediumDecision::Write:
            return {};
        case MediumDecision::Wait:
            // Asked once only: a second prompt would move the window on to
            // burning, where the user can no longer cancel.
            if (medium.status == DiscStatus::Empty && !prompted_) {
                reporter_.askForDisc();
                prompted_ = true;
                if (const GrabResult opened = drive_.openTray();
                    opened.status != GrabStatus::Grabbed) {
                    return fromGrab(opened);
                }
            }
            pause(discPollInterval);
            drive_.reassess();
            continue;
        case MediumDecision::Erase: {
            if (erasedThisDisc) {
                return {Outcome::Failed, "The disc still holds data after erasing it"};
            }
            if (Ending erased = erase(); erased.outcome != Outcome::Continue) {
                return erased;
            }
            erasedThisDisc = true;
            drive_.reassess();
            continue;
        }
        case MediumDecision::NotEraseable:
        case MediumDecision::NotWritable:
        case MediumDecision::NoSpace:
            break;
        }
        const MediumProblem problem =
            decision == MediumDecision::NotEraseable  ? MediumProblem::NotEraseable
            : decision == MediumDecision::NotWritable ? MediumProblem::NotWritable
                                                      : MediumProblem::NoSpace;
        // A file cannot be swapped for another: asking again would only spin.
        if (!medium.removable) {
            return {Outcome::Failed, refusalReason(problem, medium, image.size())};
        }
        reporter_.rejectMedium(problem);
        if (const GrabResult ejected = drive_.ejectDisc(); ejected.status != GrabStatus::Grabbed) {
            return fromGrab(ejected);
        }
        erasedThisDisc = false;
        // The rejected disc came without a prompt: ask now, which also lets
        // the window offer its cancel while the tool waits.
        if (!prompted_) {
            reporter_.askForDisc();
            prompted_ = true;
        }
        // Some drives report the same disc again at once: never ask in a tight loop.
        pause(discPollInterval);
        drive_.reassess();
    }
}

BurnFlow::Ending BurnFlow::erase() {
    reporter_.startErasing();
    pacer_.reset();
    pacer_.next(-1.0, PercentPacer::Clock::now());
    if (!drive_.startErase()) {
        return {Outcome::Failed, "Erasing failed: " + drive_.failureReason()};
    }
    // An erase cannot be interrupted: a cancel waits for its end.
    for (;;) {
        const Activity activity = drive_.activity();
        if (activity.kind == ActivityKind::Idle) {
            break;
        }
        showPercent(activity.kind == ActivityKind::Erasing ? activity.percent : -1.0);
        std::this_thread::sleep_for(pollInterval);
    }
    if (!drive_.lastJobSucceeded()) {
        if (!drive_.present()) {
            return {Outcome::NoDrive, drive_.failureReason()};
        }
        return {Outcome::Failed, "Erasing failed: " + drive_.failureReason()};
    }
    reporter_.showPercent(100);
    if (aborted()) {
        return {Outcome::Aborted, {}};
    }
    return {};
}

BurnFlow::Ending BurnFlow::write(const ImageFile& image, const Medium& medium) {
    reporter_.enterPhase(BurnPhase::Preparing);
    WriteJob job;
    job.imageFd = image.descriptor();
    job.imageBytes = image.size();
    job.kilobytesPerSecond = kilobytesPerSecond(medium.family, options_.speed);
    job.leaveAppendable = !options_.closeDisc && medium.multiSession;
    job.simulate = options_.testBurn;
    // A file takes data as fast as it comes; a real drive must never wait for it.
    job.useFifo = medium.family != MediumFamily::File;
    if (!drive_.startWrite(job)) {
        return {Outcome::Failed, drive_.failureReason()};
    }
    reporter_.enterPhase(BurnPhase::Writing);
    pacer_.reset();

    bool closingShown = false;
    bool finishingShown = false;
    const auto showClosing = [&] {
        if (!closingShown) {
            reporter_.showPercent(100);
            reporter_.enterPhase(BurnPhase::Closing);
            closingShown = true;
        }
    };
    const auto showFinishing = [&] {
        showClosing();
        if (!finishingShown) {
            reporter_.enterPhase(BurnPhase::Finishing);
            finishingShown = true;
        }
    };

    bool cancelled = false;
    for (;;) {
        if (aborted() && !cancelled) {
            drive_.cancel();
            cancelled = true;
        }
        const Activity activity = drive_.activity();
        if (activity.kind == ActivityKind::Idle) {
            break;
        }
        switch (activity.kind) {
        case ActivityKind::Writing:
            showPercent(activity.percent);
            break;
        case ActivityKind::Closing:
            showClosing();
            break;
        case ActivityKind::Finishing:
            showFinishing();
            break;
        case ActivityKind::Idle:
        case ActivityKind::Preparing:
        case ActivityKind::Erasing:
            break;
        }
        std::this_thread::sleep_for(pollInterval);
    }
    if (cancelled) {
        return {Outcome::Aborted, {}};
    }
    if (!drive_.lastJobSucceeded()) {
        if (!drive_.present()) {
            return {Outcome::NoDrive, drive_.failureReason()};
        }
        return {Outcome::Failed, "Writing failed: " + drive_.failureReason()};
    }
    // Some drives and files never report closing: the steps still happened.
    showFinishing();
    return {};
}

BurnFlow::Ending BurnFlow::verify(const ImageFile& image) {
    // The drive's view of the disc is stale after writing.
    drive_.reassess();
    reporter_.enterPhase(BurnPhase::Verifying);
    pacer_.reset();
    Verifier verifier(drive_, image, drive_.trackStartByte());
    const Verifier::Result result = verifier.run([this](double percent) { showPercent(percent); },
                                                 [this] { return aborted(); });
    switch (result.outcome) {
    case Verifier::Outcome::Equal:
        reporter_.showPercent(100);
        return {};
    case Verifier::Outcome::Aborted:
        return {Outcome::Aborted, {}};
    case Verifier::Outcome::Differs:
    case Verifier::Outcome::Unreadable:
        break;
    }
    if (!drive_.present()) {
        return {Outcome::NoDrive, drive_.failureReason()};
    }
    return {Outcome::Failed, result.reason};
}

BurnFlow::Ending BurnFlow::fromGrab(const GrabResult& result) const {
    switch (result.status) {
    case GrabStatus::Missing:
        return {Outcome::NoDrive, result.reason};
    case GrabStatus::Busy:
        return {Outcome::Busy, result.reason};
    case GrabStatus::Failed:
        return {Outcome::Failed, result.reason};
    case GrabStatus::Grabbed:
        break;
    }
    return {};
}

int BurnFlow::finish(const Ending& ending) {
    switch (ending.outcome) {
    case Outcome::Succeeded:
        reporter_.reportSuccess();
        return exitSucceeded;
    case Outcome::NoDrive:
        reporter_.reportNoDrive(ending.reason);
        return exitFailed;
    case Outcome::Busy:
        reporter_.reportBusy(ending.reason);
        return exitFailed;
    case Outcome::Aborted:
        reporter_.reportFailure("Canceled by " + signalName(abort_.requested()));
        return exitSignalBase + abort_.requested();
    case Outcome::Failed:
    case Outcome::Continue:
        break;
    }
    reporter_.reportFailure(ending.reason);
    return exitFailed;
}

void BurnFlow::pause(std::chrono::milliseconds duration) const {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (!aborted() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(pollInterval, duration));
    }
}

void BurnFlow::showPercent(double percent) {
    if (const std::optional<int> shown = pacer_.next(percent, PercentPacer::Clock::now())) {
        reporter_.showPercent(*shown);
    }
}

} // namespace disctool
