#pragma once

#include "tool/BurnState.h"

namespace emberlin {

// When the burner list follows optical drives that came or went. The list is
// reloaded only where the Reload button may be used (Ready, No burners), no
// burn is starting and no copies burn; a change seen elsewhere waits for that. Changes that arrive
// while the drives settle (one udev event after another) make one reload.
// Pure: the caller runs the settle timer and the reload.
class DriveChangePolicy {
public:
    enum class Step { Nothing, StartSettleTimer, ReloadBurners };

    Step opticalDriveAddedOrRemoved();
    Step settleTimeElapsed();
    Step burnStateChanged(BurnState burnState);
    // A burn was asked for. Its tool starts in Ready and stays there until it
    // speaks; the burn counts as starting until the next change of state.
    Step burnStarted();
    // Copies of an image began or ended burning (they burn off the list).
    Step copiesRunning(bool running);

private:
    Step reloadIfDue();

    BurnState burnState_ = BurnStateListing;
    bool burnStarting_ = false;
    bool copiesRunning_ = false;
    bool changePending_ = false;
    bool settling_ = false;
};

} // namespace emberlin
