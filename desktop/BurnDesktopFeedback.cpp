#include "BurnDesktopFeedback.h"

#include "DesktopNotifications.h"
#include "TaskbarProgress.h"

#include <QWidget>

namespace emberlin {

namespace {

bool isWriting(int burnState) {
    return burnState >= BurnStateErasing && burnState <= BurnStateVerifying;
}

} // namespace

BurnDesktopFeedback::BurnDesktopFeedback(QWidget& window, DesktopNotifications& notifications,
                                         TaskbarProgress& taskbar, QObject* parent)
    : QObject(parent)
    , window_(window)
    , notifications_(notifications)
    , taskbar_(taskbar) {
    connect(&notifications_, &DesktopNotifications::clicked, this,
            &BurnDesktopFeedback::raiseWindow);
}

void BurnDesktopFeedback::burnStateChanged(int burnState) {
    if (!isWriting(burnState))
        taskbar_.hideProgress();
}

void BurnDesktopFeedback::jobProgressed(double share) {
    taskbar_.showProgress(share);
}

void BurnDesktopFeedback::burnEnded(bool succeeded, const QString& status) {
    taskbar_.hideProgress();
    if (window_.isActiveWindow())
        return;
    notifications_.show(succeeded ? tr("Burn completed") : tr("Burn failed"), status);
}

void BurnDesktopFeedback::raiseWindow() {
    window_.show();
    window_.setWindowState((window_.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window_.raise();
    window_.activateWindow();
}

} // namespace emberlin
