#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// The desktop's side of the bus: a notification server that records what it is
// asked to show and to close, and a taskbar that records the launcher-entry updates.
class RecordingDesktop final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notification {
        QString applicationName;
        uint replacesId;
        QString icon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
    };
    struct LauncherUpdate {
        QString applicationUri;
        QVariantMap properties;
    };

    explicit RecordingDesktop(QDBusConnection bus);

    // As a click on the notification with this id would.
    void click(uint notificationId, const QString& actionKey);

    QList<Notification> notifications;
    QList<uint> closed;
    QList<LauncherUpdate> launcherUpdates;

public slots:
    uint Notify(const QString& applicationName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout);
    void CloseNotification(uint notificationId);
    void Update(const QString& applicationUri, const QVariantMap& properties);

private:
    QDBusConnection bus_;
};
