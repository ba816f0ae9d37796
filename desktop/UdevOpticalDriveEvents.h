#pragma once

#include "desktop/OpticalDriveEvents.h"

#include <QSocketNotifier>
#include <memory>

struct udev;
struct udev_monitor;

namespace emberlin {

// Optical drives plugged in or removed, from udev's monitor of block devices.
// Without udev (no udevd, as in most containers) it reports nothing.
class UdevOpticalDriveEvents final : public OpticalDriveEvents {
    Q_OBJECT

public:
    explicit UdevOpticalDriveEvents(QObject* parent = nullptr);
    ~UdevOpticalDriveEvents() override;

private:
    struct ReleaseUdev {
        void operator()(udev* context) const;
    };
    struct ReleaseMonitor {
        void operator()(udev_monitor* monitor) const;
    };

    void receiveEvents();

    std::unique_ptr<udev, ReleaseUdev> udev_;
    std::unique_ptr<udev_monitor, ReleaseMonitor> monitor_;
    // Last, so it stops watching before the monitor's descriptor closes.
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace emberlin
