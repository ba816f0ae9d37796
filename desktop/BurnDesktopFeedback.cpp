#include "desktop/BurnDesktopFeedback.h"

#include "desktop/DesktopNotifications.h"
#include "desktop/TaskbarProgress.h"

#include <QFileInfo>
#include <QWidget>
#include <utility>

namespace emberlin {

namespace {

bool isWaitingForDisc(BurnState burnState) {
    return burnState == BurnStateAwaitingDiscToErase || burnState == BurnStateAwaitingDisc;
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

void BurnDesktopFeedback::burnStarted(const QString& imagePath, const QString& burnerTitle) {
    imageName_ = QFileInfo(imagePath).fileName();
    burnerTitle_ = burnerTitle;
    refusal_.clear();
}

void BurnDesktopFeedback::burnStateChanged(BurnState burnState) {
    const bool wasWaiting = isWaitingForDisc(std::exchange(burnState_, burnState));
    if (!burnWriting(burnState))
        taskbar_.hideProgress();
    if (!isWaitingForDisc(burnState))
        withdrawDiscRequest();
    else if (!wasWaiting)
        requestDisc();
}

void BurnDesktopFeedback::discRefused(const QString& status) {
    refusal_ = status;
    // Refused while waiting, the burn waits anew: news that replaces the
    // last request; otherwise the wait to come says why.
    if (isWaitingForDisc(burnState_))
        requestDisc();
}

void BurnDesktopFeedback::requestDisc() {
    const QString request = tr("Please insert a writable disc into “%1” to burn “%2”.")
                                .arg(burnerTitle_.trimmed(), imageName_);
    const QString refusal = std::exchange(refusal_, QString());
    withdrawDiscRequest();
    if (window_.isActiveWindow())
        return;
    notifications_.show(tr("Insert a disc"),
                        refusal.isEmpty() ? request : refusal + QChar('\n') + request);
    discRequested_ = true;
}

void BurnDesktopFeedback::withdrawDiscRequest() {
    if (std::exchange(discRequested_, false))
        notifications_.withdraw();
}

void BurnDesktopFeedback::jobProgressed(double share) {
    // Outside those states the entry shows nothing, whatever comes.
    if (burnWriting(burnState_))
        taskbar_.showProgress(share);
}

void BurnDesktopFeedback::burnEnded(bool succeeded, const QString& status) {
    taskbar_.hideProgress();
    withdrawDiscRequest();
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
