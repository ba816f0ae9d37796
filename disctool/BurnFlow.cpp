// SPDX-License-Identifier: GPL-3.0-or-later
#include "BurnFlow.h"

#include "Speed.h"
#include "Verifier.h"

#include <algorithm>
#include <csignal>
#include <optional>
#include <thread>
#include <utility>

namespace disctool {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// How often a running job is looked at: often enough that progress lines come
// at least every second, a cancel is noticed at once, and the end of a fast
// write to a file is not left waiting.
constexpr auto pollInterval = 25ms;
// How often a drive without a usable disc is looked at again.
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

bool holdsReadableDisc(const Medium& medium) {
    return medium.status == DiscStatus::Blank || medium.status == DiscStatus::Appendable ||
           medium.status == DiscStatus::Full;
}

} // namespace

BurnFlow::BurnFlow(Drive& drive, ProgressReporter& reporter, const SignalAbort& abort,
                   BurnOptions options, std::chrono::milliseconds unreadyLimit)
    : drive_(drive)
    , reporter_(reporter)
    , abort_(abort)
    , options_(std::move(options))
    , unreadyLimit_(unreadyLimit) {}

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

BurnRequest BurnFlow::requestFor(const ImageFile& image) const {
    BurnRequest request;
    request.erase = options_.erase;
    request.testBurn = options_.testBurn;
    request.leaveAppendable = !options_.closeDisc;
    request.imageBytes = image.size();
    request.speed = options_.speed;
    request.unreadyLimit = unreadyLimit_;
    return request;
}

WriteIntent BurnFlow::intentOf(const BurnRequest& request) const {
    return {request.leaveAppendable, request.testBurn};
}

BurnFlow::Ending BurnFlow::burn(const ImageFile& image) {
    const BurnRequest request = requestFor(image);
    Medium medium;
    MediumVerdict verdict;
    if (Ending prepared = prepareDisc(request, medium, verdict);
        prepared.outcome != Outcome::Continue) {
        return prepared;
    }
    if (Ending written = write(image, medium, verdict); written.outcome != Outcome::Continue) {
        return written;
    }
    // A simulated burn leaves nothing to read back.
    if (options_.verify && !options_.testBurn) {
        if (Ending verified = verify(image, medium, request);
            verified.outcome != Outcome::Continue) {
            return verified;
        }
    }
    if (!drive_.commit()) {
        return {Outcome::Failed, drive_.failureReason()};
    }
    return {Outcome::Succeeded, {}};
}

BurnFlow::Ending BurnFlow::prepareDisc(const BurnRequest& request, Medium& medium,
                                       MediumVerdict& verdict) {
    DiscHistory history;
    std::optional<DiscStatus> seenStatus;
    Clock::time_point seenSince = Clock::now();
    bool trayOpened = false;
    for (;;) {
        if (aborted()) {
            return {Outcome::Aborted, {}};
        }
        if (!drive_.present()) {
            return {Outcome::NoDrive, "the drive disappeared"};
        }
        medium = drive_.medium(intentOf(request));
        if (medium.status != seenStatus) {
            seenStatus = medium.status;
            seenSince = Clock::now();
        }
        // What was tried on a disc does not hold for the next one.
        if (medium.status == DiscStatus::Empty) {
            history = {};
        }
        history.statusAge =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - seenSince);
        verdict = decideMedium(medium, history, request);
        switch (verdict.action) {
        case MediumAction::Write:
            return {};
        case MediumAction::Fail:
            return {Outcome::Failed, verdict.reason};
        case MediumAction::Wait:
            break;
        case MediumAction::AskForDisc:
            askForDiscOnce();
            if (verdict.openTray && !trayOpened) {
                trayOpened = true;
                if (const GrabResult opened = drive_.openTray();
                    opened.status != GrabStatus::Grabbed) {
                    return fromGrab(opened);
                }
            }
            break;
        case MediumAction::EraseFast:
        case MediumAction::EraseFully:
        case MediumAction::Format: {
            history.triedFastBlank |= verdict.action == MediumAction::EraseFast;
            history.triedFullBlank |= verdict.action == MediumAction::EraseFully;
            history.triedFormat |= verdict.action == MediumAction::Format;
            const Ending blanked = blank(verdict.action);
            // A drive that refuses a fast blank gets a full one next.
            const bool fastRefused =
                verdict.action == MediumAction::EraseFast && blanked.outcome == Outcome::Failed;
            if (blanked.outcome != Outcome::Continue && !fastRefused) {
                return blanked;
            }
            drive_.reassess();
            continue;
        }
        case MediumAction::Reject:
            reporter_.rejectMedium(verdict.problem);
            if (const GrabResult ejected = drive_.ejectDisc();
                ejected.status != GrabStatus::Grabbed) {
                return fromGrab(ejected);
            }
            history = {};
            seenStatus.reset();
            trayOpened = true;
            // The rejected disc came without a prompt: ask now, which also
            // lets the window offer its cancel while the tool waits.
            askForDiscOnce();
            break;
        }
        // Never look again in a tight loop, whatever the drive reports.
        pause(discPollInterval);
        drive_.reassess();
    }
}

BurnFlow::Ending BurnFlow::blank(MediumAction action) {
    const bool formatting = action == MediumAction::Format;
    formatting ? reporter_.startFormatting() : reporter_.startErasing();
    pacer_.reset();
    pacer_.next(-1.0, PercentPacer::Clock::now());
    const std::string failed = formatting ? "Formatting failed: " : "Erasing failed: ";
    const bool started =
        formatting ? drive_.startFormat() : drive_.startErase(action == MediumAction::EraseFast);
    if (!started) {
        return {Outcome::Failed, failed + drive_.failureReason()};
    }
    // Neither can be interrupted: a cancel waits for the end.
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
        return {Outcome::Failed, failed + drive_.failureReason()};
    }
    reporter_.showPercent(100);
    if (aborted()) {
        return {Outcome::Aborted, {}};
    }
    return {};
}

BurnFlow::Ending BurnFlow::write(const ImageFile& image, const Medium& medium,
                                 const MediumVerdict& verdict) {
    reporter_.enterPhase(BurnPhase::Preparing);
    WriteJob job;
    job.imageFd = image.descriptor();
    job.imageBytes = image.size();
    job.kilobytesPerSecond = verdict.kilobytesPerSecond;
    job.leaveAppendable = verdict.leaveAppendable;
    job.simulate = options_.testBurn;
    job.useFifo = verdict.useFifo;
    job.cancelRequested = [this] {
        return aborted();
    };
    if (!drive_.startWrite(job)) {
        if (aborted()) {
            return {Outcome::Aborted, {}};
        }
        return {Outcome::Failed, drive_.failureReason()};
    }
    if (const int speed = drive_.writeSpeed(); speed > 0) {
        reporter_.remark("The drive writes at " + describeSpeed(familyOf(medium.kind), speed) +
                         ".");
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
        const Activity activity = drive_.activity();
        if (activity.kind == ActivityKind::Idle) {
            break;
        }
        // Once the drive closes the track or the session, stopping it would
        // leave the disc unreadable: it finishes.
        const bool stoppable =
            activity.kind == ActivityKind::Writing || activity.kind == ActivityKind::Preparing;
        if (aborted() && !cancelled && stoppable) {
            drive_.cancel();
            cancelled = true;
        }
        switch (activity.kind) {
        case ActivityKind::Writing:
            // libburn reports writing again between closing a track and
            // closing the session: the data is all written by then.
            if (!closingShown) {
                showPercent(activity.percent);
            }
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
    if (aborted()) {
        // A file is left as it was; a disc is written for good.
        return {Outcome::Aborted, medium.removable ? "after the disc was written and closed" : ""};
    }
    return {};
}

BurnFlow::Ending BurnFlow::reloadForVerify(const BurnRequest& request) {
    const std::string unverified = "The disc was written but cannot be verified: ";
    switch (drive_.reloadMedium()) {
    case Reload::Reloaded:
        break;
    case Reload::RegrabbedOnly:
        reporter_.remark("This drive cannot load the disc again by itself, so the verify may "
                         "read the drive's cache rather than the disc.");
        break;
    case Reload::Failed:
        return {Outcome::Failed, unverified + drive_.failureReason()};
    }
    // A disc just loaded takes a moment to be read.
    const Clock::time_point since = Clock::now();
    while (!holdsReadableDisc(drive_.medium(intentOf(request)))) {
        if (aborted()) {
            return {Outcome::Aborted, {}};
        }
        if (Clock::now() - since >= request.unreadyLimit) {
            return {Outcome::Failed, unverified + "the drive did not read it again after loading"};
        }
        pause(discPollInterval);
        drive_.reassess();
    }
    return {};
}

BurnFlow::Ending BurnFlow::verify(const ImageFile& image, const Medium& medium,
                                  const BurnRequest& request) {
    if (verifyNeedsReload(medium)) {
        if (Ending reloaded = reloadForVerify(request); reloaded.outcome != Outcome::Continue) {
            return reloaded;
        }
    } else {
        // The drive's view of the disc is stale after writing.
        drive_.reassess();
    }
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
        reporter_.reportFailure("Canceled by " + signalName(abort_.requested()) +
                                (ending.reason.empty() ? "" : " " + ending.reason));
        return exitSignalBase + abort_.requested();
    case Outcome::Failed:
    case Outcome::Continue:
        break;
    }
    reporter_.reportFailure(ending.reason);
    return exitFailed;
}

void BurnFlow::askForDiscOnce() {
    if (!prompted_) {
        reporter_.askForDisc();
        prompted_ = true;
    }
}

void BurnFlow::pause(std::chrono::milliseconds duration) const {
    const auto until = Clock::now() + duration;
    while (!aborted() && Clock::now() < until) {
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(pollInterval, duration));
    }
}

void BurnFlow::showPercent(double percent) {
    if (const std::optional<int> shown = pacer_.next(percent, PercentPacer::Clock::now())) {
        reporter_.showPercent(*shown);
    }
}

} // namespace disctool
