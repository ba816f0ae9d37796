#include "FreedesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

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
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* answered) {
                const QDBusPendingReply<uint> reply = *answered;
                if (reply.isValid())
                    shownId_ = reply.value();
                answered->deleteLater();
            });
}

void FreedesktopNotifications::actionInvoked(uint notificationId, const QString& actionKey) {
    if (shownId_ != 0 && notificationId == shownId_ && actionKey == defaultAction)
        emit clicked();
}

} // namespace emberlin
