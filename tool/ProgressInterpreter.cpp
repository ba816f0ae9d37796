#include "tool/ProgressInterpreter.h"

#include "tool/FloatValue.h"
#include "tool/ProtocolText.h"

#include <QCoreApplication>
#include <algorithm>

namespace emberlin {

namespace {

// What the user reads. The texts ending in "..." use three full stops, not an
// ellipsis character.
const char* const NoBurnersStatus =
    QT_TRANSLATE_NOOP("ProgressInterpreter", "No available burners were found on your system.");
const char* const BurnerLostStatus =
    QT_TRANSLATE_NOOP("ProgressInterpreter", "The selected burner became unavailable.");
const char* const InsertDiscStatus =
    QT_TRANSLATE_NOOP("ProgressInterpreter", "Please insert a writable disc...");
const char* const NotErasableStatus = QT_TRANSLATE_NOOP(
    "ProgressInterpreter",
    "Media is not erasable.  Turn off the 'erase' option and try again, or use erasable media.");
const char* const NotWritableStatus = QT_TRANSLATE_NOOP(
    "ProgressInterpreter", "Media is not writable - please insert a writable disc...");
const char* const NotEnoughSpaceStatus = QT_TRANSLATE_NOOP(
    "ProgressInterpreter", "Not enough space on this disc - please insert another...");
const char* const StartingStatus = QT_TRANSLATE_NOOP("ProgressInterpreter", "Starting...");
const char* const WritingTrackStatus = QT_TRANSLATE_NOOP("ProgressInterpreter", "Writing track...");
const char* const ClosingSessionStatus =
    QT_TRANSLATE_NOOP("ProgressInterpreter", "Closing session...");
const char* const FinishingBurnStatus =
    QT_TRANSLATE_NOOP("ProgressInterpreter", "Finishing burn...");
const char* const VerifyingStatus = QT_TRANSLATE_NOOP("ProgressInterpreter", "Verifying...");
const char* const ErasingStatus = QT_TRANSLATE_NOOP("ProgressInterpreter", "Erasing...");
const char* const CompletedStatus = QT_TRANSLATE_NOOP(
    "ProgressInterpreter", "Burn completed successfully - ready to burn another disk image.");
const char* const BusyStatus = QT_TRANSLATE_NOOP(
    "ProgressInterpreter",
    "Unable to get control of the burner - it may be being used by another application.");
const char* const BurnFailedTitle = QT_TRANSLATE_NOOP("ProgressInterpreter", "Burn failed");
const char* const RescanButton = QT_TRANSLATE_NOOP("ProgressInterpreter", "Rescan");
const char* const OkButton = QT_TRANSLATE_NOOP("ProgressInterpreter", "OK");

QString shown(const char* text) {
    return QCoreApplication::translate("ProgressInterpreter", text);
}

// A "burn failed" line carries the tool's own explanation from this index on.
constexpr qsizetype FailureReasonIndex = toolprotocol::failurePrefix.size();

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
    result.status(shown(NoBurnersStatus));
    result.add(effect::ClearBurners{});
}

void applyListingRules(const QString& line, bool expectBurnerName, Interpretation& result) {
    if (expectBurnerName) {
        const qsizetype titleEnd = line.indexOf(qtText(toolprotocol::burnerTitleEnd));
        result.add(effect::AddBurnerName{titleEnd < 0 ? line : line.left(titleEnd)});
    } else {
        result.add(effect::AddBurnerDevice{line});
    }
    result.add(effect::ToggleExpectBurnerName{});
}

void reportBurnerLost(Interpretation& result) {
    result.status(shown(BurnerLostStatus));
    result.add(effect::PlayFailureSound{});
    result.add(effect::CriticalAlert{shown(BurnFailedTitle), shown(BurnerLostStatus),
                                     shown(RescanButton)});
    result.add(effect::SetIgnoreOutput{});
    result.add(effect::ScheduleRescan{});
}

void applyInsertDisc(bool eraseChecked, Interpretation& result) {
    if (result.state == BurnStateAwaitingDiscToErase) {
        result.moveTo(BurnStateBurning);
    } else if (result.state == BurnStateReady) {
        result.status(shown(InsertDiscStatus));
        result.moveTo(eraseChecked ? BurnStateAwaitingDiscToErase : BurnStateAwaitingDisc);
    }
}

// Returns false when the line's processing ends here.
bool applyProgressRule(const QString& line, bool eraseChecked, Interpretation& result) {
    const float percent = floatValue(QStringView(line).mid(toolprotocol::percentMarker.size()));
    if (result.state == BurnStateReady && eraseChecked) {
        // The first progress of an erasing burn that never asked for a disc.
        result.moveTo(BurnStateAwaitingDiscToErase);
        return false;
    }
    if (result.state == BurnStateAwaitingDiscToErase) {
        result.moveTo(BurnStateErasing);
        result.status(shown(ErasingStatus));
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
    result.add(effect::CriticalAlert{shown(BurnFailedTitle), reason, shown(OkButton)});
}

void runProgressTests(const QString& line, bool eraseChecked, Interpretation& result) {
    if (line.contains(qtText(toolprotocol::insertDisc))) {
        applyInsertDisc(eraseChecked, result);
    }
    if (line.contains(qtText(toolprotocol::mediaNotEraseable))) {
        result.status(shown(NotErasableStatus));
        result.add(effect::PlayFailureSound{});
    }
    if (line.contains(qtText(toolprotocol::mediaNotWritable))) {
        result.status(shown(NotWritableStatus));
        result.add(effect::PlayFailureSound{});
    }
    if (line.contains(qtText(toolprotocol::notEnoughSpace))) {
        result.status(shown(NotEnoughSpaceStatus));
        result.add(effect::PlayFailureSound{});
        result.add(effect::HideProgress{});
    }
    if (line.contains(qtText(toolprotocol::preparingData))) {
        result.status(shown(StartingStatus));
        result.moveTo(BurnStateBurning);
        result.add(effect::ProgressIndeterminate{});
    }
    if (line.contains(qtText(toolprotocol::writingTrack))) {
        result.status(shown(WritingTrackStatus));
    }
    if (line.contains(qtText(toolprotocol::closingSession))) {
        result.status(shown(ClosingSessionStatus));
        result.add(effect::ProgressIndeterminate{});
    }
    if (line.contains(qtText(toolprotocol::finishingBurn))) {
        result.status(shown(FinishingBurnStatus));
    }
    if (line.contains(qtText(toolprotocol::verifyingBurn))) {
        result.status(shown(VerifyingStatus));
        result.moveTo(BurnStateVerifying);
    }
    if (line.contains(qtText(toolprotocol::percentMarker)) &&
        !applyProgressRule(line, eraseChecked, result)) {
        return;
    }
    if (line.contains(qtText(toolprotocol::burnCompleted))) {
        result.status(shown(CompletedStatus));
        result.moveTo(BurnStateReady);
        result.add(effect::SetIgnoreOutput{});
        result.add(effect::PlaySuccessSound{});
    }
    if (line.contains(qtText(toolprotocol::deviceBusy))) {
        result.add(effect::PlayFailureSound{});
        result.status(shown(BusyStatus));
        result.moveTo(BurnStateReady);
        return;
    }
    if (line.contains(qtText(toolprotocol::burnFailed))) {
        applyFailureRule(line, result);
    }
}

} // namespace

std::vector<InterpreterEffect> interpretLine(const QString& line, const InterpreterInput& input) {
    Interpretation result{{}, input.burnState};
    if (input.burnState == BurnStateNoBurners || input.ignoreOutput) {
        return {};
    }
    const bool noDrives = line.contains(qtText(toolprotocol::noDrivesPresent));
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

bool closesBurn(const std::vector<InterpreterEffect>& effects) {
    return std::any_of(effects.begin(), effects.end(), [](const InterpreterEffect& e) {
        const auto* move = std::get_if<effect::SetBurnState>(&e);
        return std::holds_alternative<effect::SetIgnoreOutput>(e) ||
               (move != nullptr && move->state == BurnStateReady);
    });
}

std::vector<InterpreterEffect> failureEffects(const QString& reason) {
    Interpretation result{{}, BurnStateReady};
    applyFailureRule(QString(qtText(toolprotocol::failurePrefix)) + reason, result);
    return std::move(result.effects);
}

bool endsInSuccess(const std::vector<InterpreterEffect>& effects) {
    const auto lastSound =
        std::find_if(effects.rbegin(), effects.rend(), [](const InterpreterEffect& e) {
            return std::holds_alternative<effect::PlaySuccessSound>(e) ||
                   std::holds_alternative<effect::PlayFailureSound>(e);
        });
    return lastSound != effects.rend() &&
           std::holds_alternative<effect::PlaySuccessSound>(*lastSound);
}

bool refusesDisc(const std::vector<InterpreterEffect>& effects) {
    return !closesBurn(effects) &&
           std::any_of(effects.begin(), effects.end(), [](const InterpreterEffect& e) {
               return std::holds_alternative<effect::PlayFailureSound>(e);
           });
}

} // namespace emberlin
