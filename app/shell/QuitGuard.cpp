#include "app/shell/QuitGuard.h"

#include "app/burn/EmberlinController.h"

#include <QApplication>
#include <QSessionManager>
#include <QTimer>
#include <QWidget>

namespace emberlin {

QuitGuard::QuitGuard(EmberlinController& controller, QWidget& mainWindow, QObject* parent)
    : QObject(parent)
    , controller_(controller)
    , mainWindow_(mainWindow) {
    mainWindow_.installEventFilter(this);
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &QuitGuard::commitData,
            Qt::DirectConnection);
    connect(&controller_, &EmberlinController::terminationRequested, this, &QuitGuard::requestQuit);
}

QuitGuard::~QuitGuard() {
    qApp->removeEventFilter(this);
}

void QuitGuard::requestQuit() {
    if (!leaving_ && controllerAllowsQuit())
        leave();
}

void QuitGuard::terminateWithoutAsking() {
    if (!leaving_)
        leave();
}

bool QuitGuard::sessionEnding(bool interactionAllowed) {
    if (interactionAllowed)
        requestQuit();
    else
        terminateWithoutAsking();
    return leaving_;
}

bool QuitGuard::eventFilter(QObject* watched, QEvent* event) {
    const bool quitRequest = (watched == &mainWindow_ && event->type() == QEvent::Close) ||
                             (watched == qApp && event->type() == QEvent::Quit);
    if (!quitRequest)
        return false;
    requestQuit();
    if (leaving_)
        return false; // the close or quit goes ahead
    event->ignore();
    return true;
}

// A second request while the question is open waits for its answer; a
// termination signal that arrives meanwhile has already decided.
bool QuitGuard::controllerAllowsQuit() {
    if (asking_)
        return false;
    asking_ = true;
    const auto reply = controller_.applicationShouldTerminate();
    asking_ = false;
    return reply == EmberlinController::TerminateNow && !leaving_;
}

void QuitGuard::leave() {
    leaving_ = true;
    controller_.applicationWillTerminate();
    // quit() does nothing before the event loop runs; a request made earlier
    // takes effect once it does.
    QTimer::singleShot(0, this, [] { QCoreApplication::quit(); });
}

void QuitGuard::commitData(QSessionManager& manager) {
    const bool interactionAllowed = manager.allowsInteraction();
    if (!sessionEnding(interactionAllowed))
        manager.cancel();
    // Release after cancel: the release tells the session manager the outcome.
    if (interactionAllowed)
        manager.release();
}

} // namespace emberlin
