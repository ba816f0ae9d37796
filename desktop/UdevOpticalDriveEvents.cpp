#include "desktop/UdevOpticalDriveEvents.h"

#include "desktop/OpticalDriveUevent.h"

#include <libudev.h>
#include <string_view>

namespace emberlin {

namespace {

std::string_view orEmpty(const char* text) {
    return text != nullptr ? std::string_view(text) : std::string_view();
}

struct ReleaseDevice {
    void operator()(udev_device* device) const { udev_device_unref(device); }
};

} // namespace

void UdevOpticalDriveEvents::ReleaseUdev::operator()(udev* context) const {
    udev_unref(context);
}

void UdevOpticalDriveEvents::ReleaseMonitor::operator()(udev_monitor* monitor) const {
    udev_monitor_unref(monitor);
}

UdevOpticalDriveEvents::UdevOpticalDriveEvents(QObject* parent)
    : OpticalDriveEvents(parent)
    , udev_(udev_new()) {
    if (!udev_)
        return;
    // The "udev" source gives events once udev has probed the device, so they
    // carry ID_CDROM; without udevd it delivers nothing.
    monitor_.reset(udev_monitor_new_from_netlink(udev_.get(), "udev"));
    if (!monitor_ ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_.get(), "block", "disk") < 0 ||
        udev_monitor_enable_receiving(monitor_.get()) < 0) {
        monitor_.reset();
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor_.get()),
                                                  QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this,
            &UdevOpticalDriveEvents::receiveEvents);
}

UdevOpticalDriveEvents::~UdevOpticalDriveEvents() = default;

void UdevOpticalDriveEvents::receiveEvents() {
    // The monitor's socket does not block: take every event that is waiting.
    while (const std::unique_ptr<udev_device, ReleaseDevice> device{
        udev_monitor_receive_device(monitor_.get())}) {
        if (announcesOpticalDriveAddedOrRemoved(
                orEmpty(udev_device_get_action(device.get())),
                orEmpty(udev_device_get_property_value(device.get(), "ID_CDROM"))))
            emit opticalDriveAddedOrRemoved();
    }
}

} // namespace emberlin
