// Any line in any burn state, erase on or off: the line moves the window only
// as the state table allows, and every alert ends the burn's output.
#include "FuzzCheck.h"
#include "ProgressInterpreter.h"
#include "ProtocolText.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace emberlin;

namespace {

// Whether the state table lets a line move the window from `from` to `to`.
bool allowed(BurnState from, BurnState to, const QString& line, bool erase) {
    const auto has = [&line](std::string_view text) {
        return line.contains(qtText(text));
    };
    if (from == BurnStateListing)
        return to == BurnStateNoBurners && has(toolprotocol::noDrivesPresent);
    const bool prompt = has(toolprotocol::insertDisc);
    const bool percent = has(toolprotocol::percentMarker);
    switch (from < BurnStateReady ? BurnStateListing : to) {
    case BurnStateAwaitingDiscToErase:
        return from == BurnStateReady && erase && (prompt || percent);
    case BurnStateAwaitingDisc:
        return from == BurnStateReady && !erase && prompt;
    case BurnStateErasing:
        return from == BurnStateAwaitingDiscToErase && percent;
    case BurnStateBurning:
        return has(toolprotocol::preparingData) || (from == BurnStateAwaitingDiscToErase && prompt);
    case BurnStateVerifying:
        return has(toolprotocol::verifyingBurn);
    case BurnStateReady:
        return has(toolprotocol::burnCompleted) || has(toolprotocol::deviceBusy) ||
               has(toolprotocol::burnFailed);
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const InterpreterInput given{BurnState(input.ConsumeIntegralInRange(0, 8)), input.ConsumeBool(),
                                 input.ConsumeBool(), input.ConsumeBool()};
    const QString line = QString::fromUtf8(input.ConsumeRemainingBytesAsString());
    const std::vector<InterpreterEffect> effects = interpretLine(line, given);
    check(effects.empty() || (given.burnState != BurnStateNoBurners && !given.ignoreOutput),
          "no burners or ignored output: a line does nothing");
    BurnState state = given.burnState;
    for (const InterpreterEffect& effect : effects) {
        if (const auto* move = std::get_if<effect::SetBurnState>(&effect)) {
            check(allowed(state, move->state, line, given.eraseChecked), "a move the table allows");
            state = move->state;
        }
        if (std::holds_alternative<effect::CriticalAlert>(effect))
            check(closesBurn(effects), "an alert ends the burn's output");
        if (const auto* progress = std::get_if<effect::ProgressValue>(&effect))
            check(progress->fraction >= 0.0, "a progress value is a number, not below 0");
    }
    return 0;
}
