// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/BurnFlow.h"

#include "disctool/EraseAnswer.h"
#include "disctool/HeldData.h"
#include "disctool/Speed.h"
#include "disctool/Verifier.h"
#include "protocol/ToolProtocol.h"

#include <algorithm>
#include <csignal>
#include <optional>
#include <thread>
#include <unistd.h>
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
    const std::unique_ptr<DiskImage> image = DiskImage::open(options_.imagePath, problem);
    if (!image) {
        return finish({Outcome::Failed, problem});
    }
    bool discRejected = false;
    if (const Ending grabbed = grab(discRejected); grabbed.outcome != Outcome::Continue) {
        if (!drive_.grabbing()) {
            drive_.release(false);
        }
        return finish(grabbed);
    }
    const Ending ending = burn(*image, discRejected);
    drive_.release(ending.outcome == Outcome::Succeeded && options_.eject);
    return finish(ending);
}

BurnRequest BurnFlow::requestFor(DiskImage& image) const {
    BurnRequest request;
    request.erase = options_.erase;
    request.testBurn = options_.testBurn;
    request.leaveAppendable = !options_.closeDisc;
    request.imageBytes = image.size();
    request.imageVolume = image.isoVolume();
    request.speed = options_.speed;
    request.unreadyLimit = unreadyLimit_;
    return request;
}

WriteIntent BurnFlow::intentOf(const BurnRequest& request) const {
    return {request.leaveAppendable, request.testBurn};
}

BurnFlow::Ending BurnFlow::grab(bool& discRejected) {
    drive_.startGrab();
    const Clock::time_point since = Clock::now();
    for (;;) {
        if (const std::optional<GrabResult> result = drive_.grabbed()) {
            return fromGrab(*result);
        }
        if (aborted()) {
            return {Outcome::Aborted, {}};
        }
        // Taking a drive needs a second or two; one that keeps libburn
        // waiting this long holds a disc it cannot read.
        if (!discRejected && Clock::now() - since >= unreadyLimit_) {
            reporter_.rejectMedium(MediumProblem::NotWritable);
            askForDiscOnce();
            discRejected = true;
        }
        std::this_thread::sleep_for(pollInterval);
    }
}

BurnFlow::Ending BurnFlow::burn(DiskImage& image, bool discRejected) {
    const BurnRequest request = requestFor(image);
    Medium medium;
    MediumVerdict verdict;
    if (Ending prepared = prepareDisc(request, discRejected, medium, verdict);
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
    // Only now are the bytes where the user asked for them.
    if (!readback_.sha256.empty()) {
        reporter_.reportFacts({{toolprotocol::factReadbackFrom, std::string(readback_.from)},
                               {toolprotocol::factReadbackSha256, readback_.sha256}});
    }
    return {Outcome::Succeeded, {}};
}

BurnFlow::Ending BurnFlow::prepareDisc(const BurnRequest& request, bool discRejected,
                                       Medium& medium, MediumVerdict& verdict) {
    DiscHistory history;
    std::optional<DiscStatus> seenStatus;
    Clock::time_point seenSince = Clock::now();
    // The user was told the disc cannot be used: it goes, whatever libburn
    // made of it in the end.
    if (discRejected) {
        if (const GrabResult ejected = drive_.ejectDisc(); ejected.status != GrabStatus::Grabbed) {
            return fromGrab(ejected);
        }
    }
    bool trayOpened = discRejected;
    bool accepted = false;         // the disc in the drive is to be burned, its facts told
    bool overwriteSettled = false; // what it holds was told, and losing it agreed to
    // The disc leaves the drive untouched, and the next one is waited for.
    const auto ejectForAnother = [&]() -> Ending {
        if (const GrabResult ejected = drive_.ejectDisc(); ejected.status != GrabStatus::Grabbed) {
            return fromGrab(ejected);
        }
        history = {};
        accepted = false;
        overwriteSettled = false;
        seenStatus.reset();
        trayOpened = true;
        // The disc came without a prompt: ask now, which also lets the
        // window offer its cancel while the tool waits.
        askForDiscOnce();
        return {};
    };
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
            accepted = false;
            overwriteSettled = false;
        }
        history.statusAge =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - seenSince);
        verdict = decideMedium(medium, history, request);
        if (!verdict.remark.empty()) {
            reporter_.remark(verdict.remark);
        }
        const bool burning =
            verdict.action == MediumAction::Write || verdict.action == MediumAction::EraseFast ||
            verdict.action == MediumAction::EraseFully || verdict.action == MediumAction::Format;
        if (burning && !accepted) {
            reportMediumFacts(medium, request);
            accepted = true;
        }
        // Once per disc: a fast blank refused and then done fully is one erase.
        if (verdict.overwritesData && !overwriteSettled) {
            overwriteSettled = true;
            switch (settleOverwrite(medium)) {
            case EraseAnswer::Erase:
                break;
            case EraseAnswer::Keep:
                if (Ending ejected = ejectForAnother(); ejected.outcome != Outcome::Continue) {
                    return ejected;
                }
                pause(discPollInterval);
                drive_.reassess();
                continue;
            case EraseAnswer::Aborted:
                return {Outcome::Aborted, {}};
            case EraseAnswer::Unclear:
                return {Outcome::Failed, "The answer to the question whether to erase the disc "
                                         "was neither \"erase\" nor \"keep\", so nothing was "
                                         "erased"};
            case EraseAnswer::None:
                return {Outcome::Failed, "No answer came to the question whether to erase the "
                                         "disc, so nothing was erased"};
            }
        }
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
            if (verdict.problem == MediumProblem::NoSpace) {
                reportRoom(medium, request);
            }
            if (medium.content.holdsData()) {
                reporter_.reportFacts({{toolprotocol::factDiscHolds, medium.content.describe()}});
            }
            reporter_.rejectMedium(verdict.problem);
            if (Ending ejected = ejectForAnother(); ejected.outcome != Outcome::Continue) {
                return ejected;
            }
            break;
        }
        // Never look again in a tight loop, whatever the drive reports.
        pause(discPollInterval);
        drive_.reassess();
    }
}

EraseAnswer BurnFlow::settleOverwrite(const Medium& medium) {
    const std::string held = describeHeldData(medium);
    // Also for the record of the burn: what was on the disc before.
    reporter_.reportFacts({{toolprotocol::factDiscHolds, held}});
    if (!options_.askBeforeErasing) {
        return EraseAnswer::Erase;
    }
    forgetTypedAhead(STDIN_FILENO);
    reporter_.askBeforeErasing(held);
    return readEraseAnswer(STDIN_FILENO, [this] { return aborted(); });
}

BurnFlow::Ending BurnFlow::blank(MediumAction action) {
    const bool formatting = action == MediumAction::Format;
    // Before the two lines that start the erase, which belong together.
    reporter_.reportFacts(
        {{toolprotocol::factErase,
          std::string(formatting                          ? toolprotocol::eraseFormat
                      : action == MediumAction::EraseFast ? toolprotocol::eraseFast
                                                          : toolprotocol::eraseFull)}});
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
        drive_.awaitChange(pollInterval);
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

BurnFlow::Ending BurnFlow::write(DiskImage& image, const Medium& medium,
                                 const MediumVerdict& verdict) {
    reporter_.enterPhase(BurnPhase::Preparing);
    WriteJob job;
    const auto fileDigest = std::make_shared<Sha256>();
    job.image = image.stream(fileDigest);
    job.imageFileFd = image.file().descriptor();
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
    } else if (speed == Drive::speedRefused) {
        reporter_.remark("The drive did not take the speed asked for and writes at a speed of "
                         "its own.");
    }
    Facts speeds;
    if (const int speed = drive_.writeSpeed(); speed > 0) {
        speeds.emplace_back(toolprotocol::factWriteSpeed, std::to_string(speed));
    }
    if (const int speed = drive_.readSpeed(); speed > 0) {
        speeds.emplace_back(toolprotocol::factReadSpeed, std::to_string(speed));
    }
    if (!speeds.empty()) {
        reporter_.reportFacts(speeds);
    }
    reporter_.enterPhase(BurnPhase::Writing);
    pacer_.reset();

    bool closingShown = false;
    bool finishingShown = false;
    const auto showClosing = [&] {
        if (!closingShown) {
            reporter_.showPercent(100);
            reporter_.reportFacts({{toolprotocol::factBytesWritten, std::to_string(image.size())}});
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
        // leave the disc unreadable: it finishes. libburn reports writing again
        // between the two closes, which is no longer stoppable either.
        const bool stoppable = (activity.kind == ActivityKind::Writing && !closingShown) ||
                               activity.kind == ActivityKind::Preparing;
        if (aborted() && !cancelled && stoppable) {
            drive_.cancel();
            cancelled = true;
        }
        switch (activity.kind) {
        case ActivityKind::Writing:
            // libburn reports writing again between closing a track and
            // closing the session: the data is all written by then.
            if (!closingShown) {
                showProgress(activity.percent, toolprotocol::factBytesWritten,
                             std::min(activity.bytes, image.size()));
            }
            // With the whole track on the disc, what the drive still does
            // before libburn moves on (a CD's lead-out) is closing it.
            if (activity.percent >= 100.0) {
                showClosing();
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
        drive_.awaitChange(pollInterval);
    }
    if (cancelled) {
        return {Outcome::Aborted, {}};
    }
    // A damaged image says so itself, whatever the drive made of the bytes
    // it never got: libburn pads a track whose source fails.
    if (const std::string imageFailure = job.image->failure(); !imageFailure.empty()) {
        return {Outcome::Failed, imageFailure};
    }
    if (!drive_.lastJobSucceeded()) {
        if (!drive_.present()) {
            return {Outcome::NoDrive, drive_.failureReason()};
        }
        return {Outcome::Failed, "Writing failed: " + drive_.failureReason()};
    }
    // Some drives and files never report closing: the steps still happened.
    showFinishing();
    // A test burn writes nothing: there is no image as written to name.
    if (const std::string digest = drive_.writtenSha256(); !digest.empty() && !options_.testBurn) {
        // A raw image is written as it is read: the file is what was written.
        // A wrapped one was expanded in the pass that hashed the file.
        const bool wholeFile = fileDigest->bytesAdded() == image.file().size();
        const std::string fileDigestHex = !image.wrapsImage() ? digest
                                          : wholeFile         ? fileDigest->hexDigest()
                                                              : std::string();
        Facts digests{{toolprotocol::factImageSha256, digest}};
        if (!fileDigestHex.empty()) {
            digests.emplace(digests.begin(), toolprotocol::factFileSha256, fileDigestHex);
        }
        reporter_.reportFacts(digests);
    }
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
        readback_.from = toolprotocol::readbackFromCacheOrDisc;
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

BurnFlow::Ending BurnFlow::verify(DiskImage& image, const Medium& medium,
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
    const auto total = static_cast<double>(image.size());
    const Verifier::Result result = verifier.run(
        [&](std::int64_t bytes) {
            showProgress(100.0 * static_cast<double>(bytes) / total,
                         toolprotocol::factBytesVerified, bytes);
        },
        [this] { return aborted(); });
    switch (result.outcome) {
    case Verifier::Outcome::Equal:
        reporter_.showPercent(100);
        reporter_.reportFacts({{toolprotocol::factBytesVerified, std::to_string(image.size())}});
        readback_.sha256 = result.readbackSha256;
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

bool BurnFlow::showPercent(double percent) {
    const std::optional<int> shown = pacer_.next(percent, PercentPacer::Clock::now());
    if (shown) {
        reporter_.showPercent(*shown);
    }
    return shown.has_value();
}

void BurnFlow::showProgress(double percent, std::string_view bytesKey, std::int64_t bytes) {
    if (showPercent(percent) && bytes >= 0) {
        reporter_.reportFacts({{bytesKey, std::to_string(bytes)}});
    }
}

void BurnFlow::reportRoom(const Medium& medium, const BurnRequest& request) {
    // A disc whose data stays takes what is free on it; one written from its
    // start takes all it holds once blank.
    const bool keepsData = medium.holdsData && !request.erase;
    const std::int64_t room =
        keepsData || medium.capacityBytes <= 0 ? medium.freeBytes : medium.capacityBytes;
    reporter_.reportFacts({{toolprotocol::factCapacity, std::to_string(room)},
                           {toolprotocol::factImageBytes, std::to_string(request.imageBytes)}});
}

void BurnFlow::reportMediumFacts(const Medium& medium, const BurnRequest& request) {
    Facts facts;
    if (const std::string_view id = mediumIdOf(medium.kind); !id.empty()) {
        facts.emplace_back(toolprotocol::factMedium, std::string(id));
    }
    const std::int64_t capacity =
        medium.capacityBytes > 0 ? medium.capacityBytes : medium.freeBytes;
    if (capacity > 0) {
        facts.emplace_back(toolprotocol::factCapacity, std::to_string(capacity));
    }
    facts.emplace_back(toolprotocol::factImageBytes, std::to_string(request.imageBytes));
    reporter_.reportFacts(facts);
}

} // namespace disctool
