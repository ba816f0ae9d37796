#pragma once

#include <QObject>

class QSessionManager;
class QWidget;

namespace emberlin {

class EmberlinController;

// The one way out of the application: the main window's close button, the Quit
// action, the platform's own quit request, the session's end, the controller's
// request and the termination signals all pass here. The controller decides
// whether to ask; when it allows the end, its termination routine runs and the
// application quits, otherwise everything goes on untouched.
class QuitGuard final : public QObject {
    Q_OBJECT

public:
    QuitGuard(EmberlinController& controller, QWidget& mainWindow, QObject* parent = nullptr);
    ~QuitGuard() override;

    // The Quit action and the controller's request.
    void requestQuit();
    // Nobody is there to answer a question (a termination signal).
    void terminateWithoutAsking();
    // The session is ending; asks only when the user may be asked. Returns
    // false when the user chose to go on, which cancels the session's end.
    bool sessionEnding(bool interactionAllowed);

    bool isLeaving() const { return leaving_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool controllerAllowsQuit();
    void leave();
    void commitData(QSessionManager& manager);

    EmberlinController& controller_;
    QWidget& mainWindow_;
    bool asking_ = false;
    bool leaving_ = false;
};

} // namespace emberlin
