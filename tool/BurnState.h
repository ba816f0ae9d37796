#pragma once

namespace emberlin {

// The burn state machine's states. The values are stored and compared as plain
// integers ("a burn is in progress" is burnState >= BurnStateErasing), so they
// must keep these numbers.
enum BurnState : int {
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

// A burn may be cancelled only while it waits for a disc.
constexpr bool burnCancellable(BurnState burnState) {
    return burnState == BurnStateAwaitingDiscToErase || burnState == BurnStateAwaitingDisc;
}

// The disc is being changed or checked: erased, written or verified.
constexpr bool burnWriting(BurnState burnState) {
    return burnState >= BurnStateErasing && burnState <= BurnStateVerifying;
}

} // namespace emberlin
