#include "desktop/DriveChangePolicy.h"

namespace emberlin {

DriveChangePolicy::Step DriveChangePolicy::opticalDriveAddedOrRemoved() {
    changePending_ = true;
    if (settling_)
        return Step::Nothing;
    settling_ = true;
    return Step::StartSettleTimer;
}

DriveChangePolicy::Step DriveChangePolicy::settleTimeElapsed() {
    settling_ = false;
    return reloadIfDue();
}

DriveChangePolicy::Step DriveChangePolicy::burnStateChanged(BurnState burnState) {
    burnState_ = burnState;
    burnStarting_ = false;
    return reloadIfDue();
}

DriveChangePolicy::Step DriveChangePolicy::burnStarted() {
    burnStarting_ = true;
    return Step::Nothing;
}

DriveChangePolicy::Step DriveChangePolicy::copiesRunning(bool running) {
    copiesRunning_ = running;
    return reloadIfDue();
}

DriveChangePolicy::Step DriveChangePolicy::reloadIfDue() {
    const bool reloadAllowed = (burnState_ == BurnStateReady || burnState_ == BurnStateNoBurners) &&
                               !burnStarting_ && !copiesRunning_;
    if (!changePending_ || settling_ || !reloadAllowed)
        return Step::Nothing;
    changePending_ = false;
    return Step::ReloadBurners;
}

} // namespace emberlin
