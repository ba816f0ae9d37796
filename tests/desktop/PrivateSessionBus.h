#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>

// A session bus of the test's own: a dbus-daemon that ends with this object,
// and the connections made to it.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();

    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    QDBusConnection connect(const QString& name);

private:
    QProcess daemon_;
    QString address_;
    QStringList connectionNames_;
};
