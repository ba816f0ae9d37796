#pragma once

namespace emberlin {

// The burn state machine's states. Their numbers are the order in which a
// burn passes them and stay as they are.
enum class BurnState : int {
    BurnStateListing = 0,
    BurnStateNoBurners = 1,
    BurnStateReady = 2,
    BurnStateAwaitingDiscToErase = 3,
    BurnStateAwaitingDisc = 4,
    BurnStateErasing = 5,
    BurnStateBurning = 6,
    BurnStateVerifying = 7,
    BurnStateTerminating = 8,
};
using enum BurnState;

// Whether the burn is in `from` or a state after it.
constexpr bool burnStateReached(BurnState burnState, BurnState from) {
    return static_cast<int>(burnState) >= static_cast<int>(from);
}

// A burn may be cancelled only while it waits for a disc.
constexpr bool burnCancellable(BurnState burnState) {
    return burnState == BurnStateAwaitingDiscToErase || burnState == BurnStateAwaitingDisc;
}

// The disc is being changed or checked: erased, written or verified.
constexpr bool burnWriting(BurnState burnState) {
    return burnStateReached(burnState, BurnStateErasing) &&
           !burnStateReached(burnState, BurnStateTerminating);
}

} // namespace emberlin
