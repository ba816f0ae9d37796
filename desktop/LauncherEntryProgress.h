#pragma once

#include "desktop/TaskbarProgress.h"

#include <QDBusConnection>
#include <QString>
#include <QVariantMap>

namespace emberlin {

// Progress on the taskbar entry through the launcher-entry signal that
// Plasma's task manager and GNOME's docks read. Sends only what changes the
// entry (whole per cents), and nothing without a bus.
class LauncherEntryProgress final : public TaskbarProgress {
public:
    // The application id names the desktop entry the progress belongs to.
    LauncherEntryProgress(const QDBusConnection& bus, const QString& applicationId);

    void showProgress(double fraction) override;
    void hideProgress() override;

private:
    void update(const QVariantMap& properties);

    QDBusConnection bus_;
    QString applicationUri_;
    bool shown_ = false;
    long percentShown_ = 0;
};

} // namespace emberlin
