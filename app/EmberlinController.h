#pragma once

#include "BurnState.h"
#include "FileDescriptor.h"
#include "ProgressInterpreter.h"
#include "TaskWrapper.h"
#include "TaskWrapperController.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>

class Alerts;
class DropZone;
class PtyOpener;
class QCheckBox;
class QComboBox;
class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QSettings;
class Sounds;

// The application's delegate and the main window's controller: owns the burn
// state machine and applies the tool's output to the window.
class EmberlinController final : public QObject, public TaskWrapperController {
    Q_OBJECT

public:
    // The window's controls, connected before awakeFromNib.
    struct Outlets {
        QMainWindow* mainWindow = nullptr;
        QLabel* deviceStatusField = nullptr;
        QPushButton* burnAgainButton = nullptr;
        QPushButton* cancelButton = nullptr;
        QProgressBar* progressBar = nullptr;
        QCheckBox* appendableCheckbox = nullptr;
        QCheckBox* eraseCheckbox = nullptr;
        QCheckBox* verifyCheckbox = nullptr;
        QLabel* filenameField = nullptr;
        QComboBox* burnSpeedMenu = nullptr;
        QComboBox* burnerMenu = nullptr;
        DropZone* dropZone = nullptr;
        QPushButton* reloadBurnersButton = nullptr;
    };

    // What the controller may not reach by itself.
    struct Services {
        Alerts& alerts;
        Sounds& sounds;
        QSettings& settingsStore;
        PtyOpener& ptyOpener;
        QString toolPath;
        // How long the burner listing may take before the tool counts as hung.
        std::chrono::milliseconds listingTimeLimit = std::chrono::seconds(60);
    };

    // The controller's shared state.
    struct State {
        bool ignoreOutput = false;
        QString imagePath;
        QString outputBuffer;
        QString successSound;
        QString failureSound;
        QStringList burnerDevices;
        int burnState = BurnStateListing;
        TaskWrapperPtr burnTask;
        QSettings* defaults = nullptr;
        FileDescriptor masterFD;
        FileDescriptor slaveFD;
        bool expectBurnerName = false;
        int burnerCount = 0;
        bool terminating = false;
        bool dropsAllowed = true;
        QString toolPath;
        // Whether the current burn's output has closed it (success, busy,
        // failure, lost burner); a burn whose tool exits without one failed.
        bool burnClosed = false;
    };

    enum TerminateReply { TerminateCancel = 0, TerminateNow = 1 };

    EmberlinController(const Outlets& outlets, const Services& services, QObject* parent = nullptr);
    ~EmberlinController() override;

    const State& state() const { return state_; }
    const Outlets& outlets() const { return outlets_; }

    // Start-up, once, before the event loop runs.
    void awakeFromNib();
    void setBurnState(int newState);

    void loadPrefs();
    void savePrefs();

    // Actions and delegate answers.
    void reloadBurners();
    void burnAgain();
    void cancel();
    void openFiles(const QStringList& files);
    void burnDroppedFile(const QStringList& files);
    TerminateReply applicationShouldTerminate();
    void applicationWillTerminate();
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }
    void noLongerFrontMost();

    void doBurn(const QString& imagePath);
    void interpretOutput(const QString& line);

    // TaskWrapperController
    void processOutput(const QString& output) override;
    void processStarted() override;
    void processFinished() override;
    void processExited(int waitStatus) override;

signals:
    // The application is asked to terminate (after the pseudo-terminal alert);
    // the quit guard answers it like any other quit request.
    void terminationRequested();
    // After every call of setBurnState, once the window has been gated.
    void burnStateChanged(int burnState);

private:
    bool getFileDescriptors();
    void requestBurnerList();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void applyEffect(const InterpreterEffect& effect);
    void showStatus(const QString& text);
    void selectFirstBurner();
    // Stops the current burn, if any. Counts as the end of that burn for
    // anything still working on its behalf (see burnGeneration_).
    void discardBurnTask();
    // Status, failure sound, back to Ready.
    void reportBurnFailure(const QString& status);
    void failBurnLaunch(const QString& reason);

    Outlets outlets_;
    Services services_;
    State state_;
    // Grows whenever a burn is replaced or discarded. Work for a burn that
    // spans a modal alert (whose nested event loop may start a new burn,
    // cancel or quit) checks it afterwards and stops when it has moved on.
    quint64 burnGeneration_ = 0;
};
