// Any line in any burn state, erase on or off: the line moves the window only
// as the state table allows, and every alert ends the burn's output.
#include "tests/fuzz/FuzzCheck.h"
#include "tool/ProgressInterpreter.h"
#include "tool/ProtocolText.h"

using namespace emberlin;

// Whether the state table lets a line move the window from `from` to `to`.
static bool allowed(BurnState from, BurnState to, const QString& line, bool erase) {
    const auto has = [&line](std::string_view text) {
        return line.contains(qtText(text));
    };
    const bool prompt = has(toolprotocol::insertDisc);
    const bool percent = has(toolprotocol::percentMarker);
    if (!burnStateReached(from, BurnStateReady))
        return from == BurnStateListing && to == BurnStateNoBurners &&
               has(toolprotocol::noDrivesPresent);
    const bool fromReady = from == BurnStateReady;
    const bool fromAwaitingErase = from == BurnStateAwaitingDiscToErase;
    return (to == BurnStateAwaitingDiscToErase && fromReady && erase && (prompt || percent)) ||
           (to == BurnStateAwaitingDisc && fromReady && !erase && prompt) ||
           (to == BurnStateErasing && fromAwaitingErase && percent) ||
           (to == BurnStateBurning &&
            (has(toolprotocol::preparingData) || (fromAwaitingErase && prompt))) ||
           (to == BurnStateVerifying && has(toolprotocol::verifyingBurn)) ||
           (to == BurnStateReady &&
            (has(toolprotocol::burnCompleted) || has(toolprotocol::deviceBusy) ||
             has(toolprotocol::burnFailed)));
}

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
        check(!std::holds_alternative<effect::CriticalAlert>(effect) || closesBurn(effects),
              "an alert ends the burn's output");
    }
    return 0;
}
