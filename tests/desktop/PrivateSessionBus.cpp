#include "tests/desktop/PrivateSessionBus.h"

#include <stdexcept>

namespace {
constexpr int GenerousBoundMs = 30000;
}

PrivateSessionBus::PrivateSessionBus() {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address")});
    while (!daemon_.canReadLine()) {
        if (!daemon_.waitForReadyRead(GenerousBoundMs))
            throw std::runtime_error("dbus-daemon gave no address");
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
    for (const QString& name : connectionNames_)
        QDBusConnection::disconnectFromBus(name);
    daemon_.terminate();
    daemon_.waitForFinished(GenerousBoundMs);
}

QDBusConnection PrivateSessionBus::connect(const QString& name) {
    connectionNames_.append(name);
    QDBusConnection connection = QDBusConnection::connectToBus(address_, name);
    if (!connection.isConnected())
        throw std::runtime_error("cannot connect to the private bus");
    return connection;
}
