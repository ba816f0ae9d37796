#pragma once

#include "tool/BurnState.h"

#include <QObject>
#include <QString>

class QWidget;

namespace emberlin {

class DesktopNotifications;
class TaskbarProgress;

// What the desktop shows of a burn beside the window: the whole job's progress
// on the taskbar entry while it erases, burns or verifies, and, while the user
// is in another window, a notification each time the burn waits for a disc,
// saying why the last one was refused (withdrawn once it stops waiting), and one with the window's
// status text when it ends. Clicking a notification brings the window back.
class BurnDesktopFeedback final : public QObject {
    Q_OBJECT

public:
    BurnDesktopFeedback(QWidget& window, DesktopNotifications& notifications,
                        TaskbarProgress& taskbar, QObject* parent = nullptr);

    void burnStarted(const QString& imagePath, const QString& burnerTitle);
    void burnStateChanged(BurnState burnState);
    // The disc in the drive was refused, with the status the window shows for
    // it; the burn waits for another one.
    void discRefused(const QString& status);
    // How much of the whole job is done, 0.0 to 1.0: one run across the
    // erase, the write and the verify, not the window's bar of each.
    void jobProgressed(double share);
    // Success, failure or a lost burner, with the status the window shows.
    void burnEnded(bool succeeded, const QString& status);
    // Shows the window, unminimised, in front and active.
    void raiseWindow();

private:
    // Asks for a disc while the user is elsewhere.
    void requestDisc();
    void withdrawDiscRequest();

    QWidget& window_;
    DesktopNotifications& notifications_;
    TaskbarProgress& taskbar_;
    BurnState burnState_ = BurnStateListing;
    QString imageName_;
    QString burnerTitle_;
    // Why the last disc was refused, until a request for a disc says it.
    QString refusal_;
    // The notification asking for a disc is out.
    bool discRequested_ = false;
};

} // namespace emberlin
