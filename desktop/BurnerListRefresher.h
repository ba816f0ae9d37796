#pragma once

#include "desktop/DriveChangePolicy.h"
#include "tool/BurnState.h"

#include <QObject>
#include <QTimer>
#include <chrono>

namespace emberlin {

class OpticalDriveEvents;

// Asks for the burner list to be reloaded when optical drives come and go, as
// DriveChangePolicy decides. Connect it before the window's start-up, so that
// it sees every change of the burn state from the first listing on.
class BurnerListRefresher final : public QObject {
    Q_OBJECT

public:
    // How long the drives may keep changing before the list is reloaded once.
    static constexpr std::chrono::milliseconds defaultSettleTime = std::chrono::seconds(1);

    BurnerListRefresher(OpticalDriveEvents& drives, std::chrono::milliseconds settleTime,
                        QObject* parent = nullptr);

    void burnStateChanged(BurnState burnState);
    void burnStarted();
    void copiesRunning(bool running);

signals:
    // Reload exactly as the Reload button does.
    void reloadBurnersRequested();

private:
    void take(DriveChangePolicy::Step step);

    DriveChangePolicy policy_;
    QTimer settleTimer_;
};

} // namespace emberlin
