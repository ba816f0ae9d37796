#include "tests/desktop/RecordingDesktop.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {
const auto notificationsName = QStringLiteral("org.freedesktop.Notifications");
const auto notificationsPath = QStringLiteral("/org/freedesktop/Notifications");
// Ids as a server hands them out: its own, never 0.
constexpr uint firstId = 41;
} // namespace

RecordingDesktop::RecordingDesktop(QDBusConnection bus)
    : bus_(bus) {
    bus_.registerObject(notificationsPath, this, QDBusConnection::ExportAllSlots);
    bus_.registerService(notificationsName);
    bus_.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"),
                 QStringLiteral("Update"), this, SLOT(Update(QString, QVariantMap)));
    // A round trip, so the subscription is in place before anyone else speaks.
    bus_.interface()->isServiceRegistered(notificationsName);
}

void RecordingDesktop::click(uint notificationId, const QString& actionKey) {
    QDBusMessage invoked = QDBusMessage::createSignal(notificationsPath, notificationsName,
                                                      QStringLiteral("ActionInvoked"));
    invoked << notificationId << actionKey;
    bus_.send(invoked);
}

uint RecordingDesktop::Notify(const QString& applicationName, uint replacesId, const QString& icon,
                              const QString& summary, const QString& body,
                              const QStringList& actions, const QVariantMap& hints, int) {
    notifications.append({applicationName, replacesId, icon, summary, body, actions, hints});
    return firstId + static_cast<uint>(notifications.size()) - 1;
}

void RecordingDesktop::CloseNotification(uint notificationId) {
    closed.append(notificationId);
}

void RecordingDesktop::Update(const QString& applicationUri, const QVariantMap& properties) {
    launcherUpdates.append({applicationUri, properties});
}
