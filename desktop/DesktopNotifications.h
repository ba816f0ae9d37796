#pragma once

#include <QObject>
#include <QString>

namespace emberlin {

// The desktop's notifications, with the app's name and icon.
class DesktopNotifications : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Shows a notification in place of the app's previous one, if any. Returns
    // at once; where the desktop has no notifications nothing happens.
    virtual void show(const QString& summary, const QString& body) = 0;
    // Takes the app's notification away again, also one whose showing the
    // desktop has not confirmed yet.
    virtual void withdraw() = 0;

signals:
    // The user clicked the notification shown last.
    void clicked();
};

} // namespace emberlin
