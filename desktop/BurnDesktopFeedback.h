#pragma once

#include "tool/BurnState.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <optional>

class QWidget;

namespace emberlin {

class DesktopNotifications;
class TaskbarProgress;

// What the desktop shows of a burn beside the window: the whole job's progress
// on the taskbar entry while it erases, burns or verifies, and, while the user
// is in another window, a notification each time a burner waits for a disc,
// saying why the last one was refused (withdrawn once that burner stops
// waiting), and one with the window's status text when it ends. Clicking a
// notification brings back the window that showed it.
class BurnDesktopFeedback final : public QObject {
    Q_OBJECT

public:
    BurnDesktopFeedback(QWidget& window, DesktopNotifications& notifications,
                        TaskbarProgress& taskbar, QObject* parent = nullptr);

    // The burner is the one burning; copies on several burners name none.
    void burnStarted(const QString& imagePath, const QString& burnerTitle);
    // The burn's state; for copies, that of them all: Burning until the last ends.
    void burnStateChanged(BurnState burnState);
    // The disc in the drive was refused, with the status the window shows for
    // it; the burn waits for another one.
    void discRefused(const QString& status);
    // The same of one burner among the copies, known by its device.
    void burnerStateChanged(const QString& device, const QString& burnerTitle, BurnState burnState);
    void discRefusedBy(const QString& device, const QString& status);
    // How much of the whole job is done, 0.0 to 1.0: one run across the
    // erase, the write and the verify, not the window's bar of each.
    void jobProgressed(double share);
    // Success, failure or a lost burner, with the status the window shows.
    void burnEnded(bool succeeded, const QString& status);
    // Shows the window, unminimised, in front and active.
    void raiseWindow();

private:
    struct DiscWait {
        QString burnerTitle;
        bool waiting = false;
        // Why the last disc was refused, until a request for a disc says it.
        QString refusal;
    };

    bool userLooksAtWindow() const;
    // Asks for a disc in this burner while the user is elsewhere.
    void requestDisc(const QString& device);
    void withdrawDiscRequest();
    void notify(const QString& summary, const QString& body);
    // The app's notification is this feedback's, not the other window's.
    bool showsNotification() const;

    QWidget& window_;
    DesktopNotifications& notifications_;
    TaskbarProgress& taskbar_;
    BurnState burnState_ = BurnStateListing;
    QString imageName_;
    QString burnerTitle_;
    // By device; the one burner of a single burn has none.
    QHash<QString, DiscWait> discWaits_;
    // The device the notification asking for a disc is out for.
    std::optional<QString> discRequestedFrom_;
};

} // namespace emberlin
