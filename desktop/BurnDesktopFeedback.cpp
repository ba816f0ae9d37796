#include "desktop/BurnDesktopFeedback.h"

#include "desktop/DesktopNotifications.h"
#include "desktop/TaskbarProgress.h"

#include <QFileInfo>
#include <QWidget>
#include <utility>

namespace emberlin {

namespace {

// The window whose feedback showed the app's one notification last.
const char* const shownByProperty = "shownByBurnDesktopFeedback";

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
    connect(&notifications_, &DesktopNotifications::clicked, this, [this] {
        if (showsNotification())
            raiseWindow();
    });
}

void BurnDesktopFeedback::burnStarted(const QString& imagePath, const QString& burnerTitle) {
    imageName_ = QFileInfo(imagePath).fileName();
    burnerTitle_ = burnerTitle;
    discWaits_.clear();
}

void BurnDesktopFeedback::burnStateChanged(BurnState burnState) {
    burnState_ = burnState;
    if (!burnWriting(burnState))
        taskbar_.hideProgress();
    burnerStateChanged(QString(), burnerTitle_, burnState);
}

void BurnDesktopFeedback::discRefused(const QString& status) {
    discRefusedBy(QString(), status);
}

void BurnDesktopFeedback::burnerStateChanged(const QString& device, const QString& burnerTitle,
                                             BurnState burnState) {
    DiscWait& wait = discWaits_[device];
    wait.burnerTitle = burnerTitle;
    const bool wasWaiting = std::exchange(wait.waiting, isWaitingForDisc(burnState));
    if (!wait.waiting) {
        if (discRequestedFrom_ == device)
            withdrawDiscRequest();
    } else if (!wasWaiting) {
        requestDisc(device);
    }
}

void BurnDesktopFeedback::discRefusedBy(const QString& device, const QString& status) {
    DiscWait& wait = discWaits_[device];
    wait.refusal = status;
    // Refused while waiting, the burner waits anew: news that replaces the
    // last request; otherwise the wait to come says why.
    if (wait.waiting)
        requestDisc(device);
}

bool BurnDesktopFeedback::userLooksAtWindow() const {
    // A closed window may stay the active one where the platform keeps it so.
    return window_.isVisible() && window_.isActiveWindow();
}

void BurnDesktopFeedback::requestDisc(const QString& device) {
    DiscWait& wait = discWaits_[device];
    const QString request = tr("Please insert a writable disc into “%1” to burn “%2”.")
                                .arg(wait.burnerTitle.trimmed(), imageName_);
    const QString refusal = std::exchange(wait.refusal, QString());
    withdrawDiscRequest();
    if (userLooksAtWindow())
        return;
    notify(tr("Insert a disc"), refusal.isEmpty() ? request : refusal + QChar('\n') + request);
    discRequestedFrom_ = device;
}

void BurnDesktopFeedback::notify(const QString& summary, const QString& body) {
    notifications_.show(summary, body);
    // The windows share it: a click brings back the one that showed it.
    notifications_.setProperty(shownByProperty, QVariant::fromValue<QObject*>(this));
}

bool BurnDesktopFeedback::showsNotification() const {
    return notifications_.property(shownByProperty).value<QObject*>() == this;
}

void BurnDesktopFeedback::withdrawDiscRequest() {
    // Not the other window's notification that replaced the request.
    if (std::exchange(discRequestedFrom_, std::nullopt) && showsNotification())
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
    if (userLooksAtWindow())
        return;
    notify(succeeded ? tr("Burn completed") : tr("Burn failed"), status);
}

void BurnDesktopFeedback::raiseWindow() {
    window_.show();
    window_.setWindowState((window_.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window_.raise();
    window_.activateWindow();
}

} // namespace emberlin
