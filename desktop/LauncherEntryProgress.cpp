#include "desktop/LauncherEntryProgress.h"

#include <QDBusMessage>
#include <algorithm>
#include <cmath>

namespace emberlin {

namespace {

// Any path will do: readers match the interface and the application's URI.
const auto path = QStringLiteral("/org/emberlin/Emberlin/LauncherEntry");
const auto interface = QStringLiteral("com.canonical.Unity.LauncherEntry");
const auto progressKey = QStringLiteral("progress");
const auto progressVisibleKey = QStringLiteral("progress-visible");

} // namespace

LauncherEntryProgress::LauncherEntryProgress(const QDBusConnection& bus,
                                             const QString& applicationId)
    : bus_(bus)
    , applicationUri_(QStringLiteral("application://%1.desktop").arg(applicationId)) {}

void LauncherEntryProgress::showProgress(double fraction) {
    // The tool's figures may be out of range, or not a number at all.
    const long percent =
        std::isnan(fraction) ? 0 : std::lround(std::clamp(fraction, 0.0, 1.0) * 100);
    if (shown_ && percent == percentShown_)
        return;
    shown_ = true;
    percentShown_ = percent;
    update({{progressKey, percent / 100.0}, {progressVisibleKey, true}});
}

void LauncherEntryProgress::hideProgress() {
    if (!shown_)
        return;
    shown_ = false;
    update({{progressVisibleKey, false}});
}

void LauncherEntryProgress::update(const QVariantMap& properties) {
    if (!bus_.isConnected())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, QStringLiteral("Update"));
    signal << applicationUri_ << properties;
    bus_.send(signal);
}

} // namespace emberlin
