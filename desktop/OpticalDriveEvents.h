#pragma once

#include <QObject>

namespace emberlin {

// Where the app hears that an optical drive was plugged in or removed: udev on
// Linux; tests send the signal themselves.
class OpticalDriveEvents : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void opticalDriveAddedOrRemoved();
};

} // namespace emberlin
