#pragma once

#include "desktop/DesktopNotifications.h"

#include <QDBusConnection>

namespace emberlin {

// Notifications through the freedesktop notification server on a session bus.
// Without a bus nothing is sent.
class FreedesktopNotifications final : public DesktopNotifications {
    Q_OBJECT

public:
    // The application id names the desktop entry and the icon.
    FreedesktopNotifications(const QDBusConnection& bus, const QString& applicationName,
                             const QString& applicationId, QObject* parent = nullptr);

    void show(const QString& summary, const QString& body) override;
    void withdraw() override;

private slots:
    // The server tells every client of every action; only ours count.
    void actionInvoked(uint notificationId, const QString& actionKey);

private:
    void close(uint notificationId);

    QDBusConnection bus_;
    QString applicationName_;
    QString applicationId_;
    // The server's id of the notification shown last; 0 before the first and
    // once it is withdrawn.
    uint shownId_ = 0;
    // Notifications asked for, and how many of those were withdrawn: a
    // notification withdrawn before the server answered is closed on its answer.
    quint64 asked_ = 0;
    quint64 withdrawnUpTo_ = 0;
};

} // namespace emberlin
