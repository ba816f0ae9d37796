#pragma once

#include "BurnState.h"

#include <QObject>
#include <QString>

class QWidget;

namespace emberlin {

class DesktopNotifications;
class TaskbarProgress;

// What the desktop shows of a burn beside the window: the whole job's progress
// on the taskbar entry while it erases, burns or verifies, and a notification with the
// window's status text when it ends while the user is in another window.
// Clicking the notification brings the window back.
class BurnDesktopFeedback final : public QObject {
    Q_OBJECT

public:
    BurnDesktopFeedback(QWidget& window, DesktopNotifications& notifications,
                        TaskbarProgress& taskbar, QObject* parent = nullptr);

    void burnStateChanged(int burnState);
    // How much of the whole job is done, 0.0 to 1.0: one run across the
    // erase, the write and the verify, not the window's bar of each.
    void jobProgressed(double share);
    // Success, failure or a lost burner, with the status the window shows.
    void burnEnded(bool succeeded, const QString& status);
    // Shows the window, unminimised, in front and active.
    void raiseWindow();

private:
    QWidget& window_;
    DesktopNotifications& notifications_;
    TaskbarProgress& taskbar_;
};

} // namespace emberlin
