#include "desktop/BurnerListRefresher.h"

#include "desktop/OpticalDriveEvents.h"

namespace emberlin {

BurnerListRefresher::BurnerListRefresher(OpticalDriveEvents& drives,
                                         std::chrono::milliseconds settleTime, QObject* parent)
    : QObject(parent) {
    settleTimer_.setSingleShot(true);
    settleTimer_.setInterval(settleTime);
    connect(&settleTimer_, &QTimer::timeout, this, [this] { take(policy_.settleTimeElapsed()); });
    connect(&drives, &OpticalDriveEvents::opticalDriveAddedOrRemoved, this,
            [this] { take(policy_.opticalDriveAddedOrRemoved()); });
}

void BurnerListRefresher::burnStateChanged(BurnState burnState) {
    take(policy_.burnStateChanged(burnState));
}

void BurnerListRefresher::burnStarted() {
    take(policy_.burnStarted());
}

void BurnerListRefresher::copiesRunning(bool running) {
    take(policy_.copiesRunning(running));
}

void BurnerListRefresher::take(DriveChangePolicy::Step step) {
    switch (step) {
    case DriveChangePolicy::Step::Nothing:
        return;
    case DriveChangePolicy::Step::StartSettleTimer:
        settleTimer_.start();
        return;
    case DriveChangePolicy::Step::ReloadBurners:
        emit reloadBurnersRequested();
        return;
    }
}

} // namespace emberlin
