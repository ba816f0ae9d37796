#include "ProgressInterpreter.h"

#include "FloatValue.h"
#include "ToolTexts.h"

namespace {

// What the user reads in the status line. The ones ending in "..." use three
// full stops, not an ellipsis character.
const QString NoBurnersStatus = QStringLiteral("No available burners were found on your system.");
const QString BurnerLostStatus = QStringLiteral("The selected burner became unavailable.");
const QString InsertDiscStatus = QStringLiteral("Please insert a writable disc...");
const QString NotErasableStatus = QStringLiteral(
    "Media is not erasable.  Turn off the 'erase' option and try again, or use erasable media.");
const QString NotWritableStatus =
    QStringLiteral("Media is not writable - please insert a writable disc...");
const QString NotEnoughSpaceStatus =
    QStringLiteral("Not enough space on this disc - please insert another...");
const QString StartingStatus = QStringLiteral("Starting...");
const QString WritingTrackStatus = QStringLiteral("Writing track...");
const QString ClosingSessionStatus = QStringLiteral("Closing session...");
const QString FinishingBurnStatus = QStringLiteral("Finishing burn...");
const QString VerifyingStatus = QStringLiteral("Verifying...");
const QString ErasingStatus = QStringLiteral("Erasing...");
const QString CompletedStatus =
    QStringLiteral("Burn completed successfully - ready to burn another disk image.");
const QString BusyStatus = QStringLiteral(
    "Unable to get control of the burner - it may be being used by another application.");

const QString BurnFailedTitle = QStringLiteral("Burn failed");
const QString RescanButton = QStringLiteral("Rescan");
const QString OkButton = QStringLiteral("OK");

// A "burn failed" line carries the tool's own explanation from this index on.
constexpr qsizetype FailureReasonIndex = 14;

// The effects of one line so far, and the burn state they have left, which
// later tests of the same line read.
struct Interpretation {
    std::vector<InterpreterEffect> effects;
    BurnState state;

    void add(InterpreterEffect effect) { effects.push_back(std::move(effect)); }
    void status(const QString& text) { add(effect::ShowStatus{text}); }
    void moveTo(BurnState newState) {
        state = newState;
        add(effect::SetBurnState{newState});
    }
};

void applyNoBurnersRule(Interpretation& result) {
    result.moveTo(BurnStateNoBurners);
    result.status(NoBurnersStatus);
    result.add(effect::ClearBurners{});
}

void applyListingRules(const QString& line, bool expectBurnerName, Interpretation& result) {
    if (expectBurnerName) {
        const qsizetype titleEnd = line.indexOf(ToolText::BurnerTitleEnd);
        result.add(effect::AddBurnerName{titleEnd < 0 ? line : line.left(titleEnd)});
    } else {
        result.add(effect::AddBurnerDevice{line});
    }
    result.add(effect::ToggleExpectBurnerName{});
}

void reportBurnerLost(Interpretation& result) {
    result.status(BurnerLostStatus);
    result.add(effect::PlayFailureSound{});
    result.add(effect::CriticalAlert{BurnFailedTitle, BurnerLostStatus, RescanButton});
    result.add(effect::SetIgnoreOutput{});
    result.add(effect::ScheduleRescan{});
}

void applyInsertDisc(bool eraseChecked, Interpretation& result) {
    if (result.state == BurnStateAwaitingDiscToErase) {
        result.moveTo(BurnStateBurning);
    } else if (result.state == BurnStateReady) {
        result.status(InsertDiscStatus);
        result.moveTo(eraseChecked ? BurnStateAwaitingDiscToErase : BurnStateAwaitingDisc);
    }
}

// Returns false when the line's processing ends here.
bool applyProgressRule(const QString& line, bool eraseChecked, Interpretation& result) {
    const float percent = floatValue(QStringView(line).mid(ToolText::Percent.size()));
    if (result.state == BurnStateReady && eraseChecked) {
        // The first progress of an erasing burn that never asked for a disc.
        result.moveTo(BurnStateAwaitingDiscToErase);
        return false;
    }
    if (result.state == BurnStateAwaitingDiscToErase) {
        result.moveTo(BurnStateErasing);
        result.status(ErasingStatus);
    }
    if (percent < 0.0f) {
        result.add(effect::ProgressIndeterminate{});
    } else {
        result.add(effect::ProgressValue{static_cast<double>(percent) / 100.0});
    }
    return true;
}

void applyFailureRule(const QString& line, Interpretation& result) {
    // A line too short to hold a reason past the tool's prefix is shown whole.
    const QString reason = line.size() < FailureReasonIndex ? line : line.mid(FailureReasonIndex);
    result.status(reason);
    result.moveTo(BurnStateReady);
    result.add(effect::SetIgnoreOutput{});
    result.add(effect::PlayFailureSound{});
    result.add(effect::CriticalAlert{BurnFailedTitle, reason, OkButton});
}

void runProgressTests(const QString& line, bool eraseChecked, Interpretation& result) {
    if (line.contains(ToolText::InsertDisc)) {
        applyInsertDisc(eraseChecked, result);
    }
    if (line.contains(ToolText::MediaNotEraseable)) {
        result.status(NotErasableStatus);
        result.add(effect::PlayFailureSound{});
    }
    if (line.contains(ToolText::MediaNotWritable)) {
        result.status(NotWritableStatus);
        result.add(effect::PlayFailureSound{});
    }
    if (line.contains(ToolText::NotEnoughSpace)) {
        result.status(NotEnoughSpaceStatus);
        result.add(effect::PlayFailureSound{});
        result.add(effect::HideProgress{});
    }
    if (line.contains(ToolText::PreparingData)) {
        result.status(StartingStatus);
        result.moveTo(BurnStateBurning);
        result.add(effect::ProgressIndeterminate{});
    }
    if (line.contains(ToolText::WritingTrack)) {
        result.status(WritingTrackStatus);
    }
    if (line.contains(ToolText::ClosingSession)) {
        result.status(ClosingSessionStatus);
        result.add(effect::ProgressIndeterminate{});
    }
    if (line.contains(ToolText::FinishingBurn)) {
        result.status(FinishingBurnStatus);
    }
    if (line.contains(ToolText::VerifyingBurn)) {
        result.status(VerifyingStatus);
        result.moveTo(BurnStateVerifying);
    }
    if (line.contains(ToolText::Percent) && !applyProgressRule(line, eraseChecked, result)) {
        return;
    }
    if (line.contains(ToolText::BurnCompleted)) {
        result.status(CompletedStatus);
        result.moveTo(BurnStateReady);
        result.add(effect::SetIgnoreOutput{});
        result.add(effect::PlaySuccessSound{});
    }
    if (line.contains(ToolText::DeviceBusy)) {
        result.add(effect::PlayFailureSound{});
        result.status(BusyStatus);
        result.moveTo(BurnStateReady);
        return;
    }
    if (line.contains(ToolText::BurnFailed)) {
        applyFailureRule(line, result);
    }
}

} // namespace

std::vector<InterpreterEffect> interpretLine(const QString& line, const InterpreterInput& input) {
    Interpretation result{{}, input.burnState};
    if (input.burnState == BurnStateNoBurners || input.ignoreOutput) {
        return {};
    }
    const bool noDrives = line.contains(ToolText::NoDrivesPresent);
    if (input.burnState == BurnStateListing) {
        if (noDrives) {
            applyNoBurnersRule(result);
        } else {
            applyListingRules(line, input.expectBurnerName, result);
        }
    } else if (noDrives) {
        reportBurnerLost(result);
    } else {
        runProgressTests(line, input.eraseChecked, result);
    }
    return std::move(result.effects);
}

bool isClosingLine(const QString& line) {
    return line.contains(ToolText::BurnCompleted) || line.contains(ToolText::DeviceBusy) ||
           line.contains(ToolText::BurnFailed) || line.contains(ToolText::NoDrivesPresent);
}
