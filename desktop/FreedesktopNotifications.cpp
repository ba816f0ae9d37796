#include "desktop/FreedesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>
#include <utility>

namespace emberlin {

namespace {

const auto service = QStringLiteral("org.freedesktop.Notifications");
const auto path = QStringLiteral("/org/freedesktop/Notifications");
const auto interface = QStringLiteral("org.freedesktop.Notifications");
// The action a click on the notification itself invokes.
const auto defaultAction = QStringLiteral("default");
// The server's own choice of how long a notification stays.
constexpr int serverDefaultTimeout = -1;

} // namespace

FreedesktopNotifications::FreedesktopNotifications(const QDBusConnection& bus,
                                                   const QString& applicationName,
                                                   const QString& applicationId, QObject* parent)
    : DesktopNotifications(parent)
    , bus_(bus)
    , applicationName_(applicationName)
    , applicationId_(applicationId) {
    bus_.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                 SLOT(actionInvoked(uint, QString)));
}

void FreedesktopNotifications::show(const QString& summary, const QString& body) {
    if (!bus_.isConnected())
        return;
    QDBusMessage notify =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    notify << applicationName_ << shownId_ << applicationId_ << summary << body
           << QStringList{defaultAction, tr("Show")}
           << QVariantMap{{QStringLiteral("desktop-entry"), applicationId_}}
           << serverDefaultTimeout;
    // Answered later, so the window never waits for the server; a desktop
    // without one answers with an error, and nothing is shown.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(notify), this);
    const quint64 serial = ++asked_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, serial](QDBusPendingCallWatcher* answered) {
                const QDBusPendingReply<uint> reply = *answered;
                answered->deleteLater();
                if (!reply.isValid())
                    return;
                if (serial <= withdrawnUpTo_)
                    close(reply.value());
                else
                    shownId_ = reply.value();
            });
}

void FreedesktopNotifications::withdraw() {
    withdrawnUpTo_ = asked_;
    if (shownId_ != 0)
        close(std::exchange(shownId_, 0));
}

void FreedesktopNotifications::close(uint notificationId) {
    QDBusMessage closing = QDBusMessage::createMethodCall(service, path, interface,
                                                          QStringLiteral("CloseNotification"));
    closing << notificationId;
    bus_.send(closing);
}

void FreedesktopNotifications::actionInvoked(uint notificationId, const QString& actionKey) {
    if (shownId_ != 0 && notificationId == shownId_ && actionKey == defaultAction)
        emit clicked();
}

} // namespace emberlin
