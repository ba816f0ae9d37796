#pragma once

#include "BurnState.h"
#include "ChecksumFile.h"
#include "FileDescriptor.h"
#include "ImageChecksum.h"
#include "OutputLineAssembler.h"
#include "PipeTask.h"
#include "Preferences.h"
#include "ProgressInterpreter.h"
#include "TaskWrapper.h"
#include "TaskWrapperController.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <optional>

class QSettings;

namespace emberlin {

class Alerts;
class MainWindow;
class PtyOpener;
class Sounds;

// The application's delegate and the main window's controller: the burn state
// machine, the burner listing, the burn's start, what the tool's output does,
// and the user's actions and quitting. It tells the window what to show.
class EmberlinController final : public QObject, public TaskWrapperController {
    Q_OBJECT

public:
    // What the controller may not reach by itself.
    struct Services {
        Alerts& alerts;
        Sounds& sounds;
        QSettings& settingsStore;
        PtyOpener& ptyOpener;
        QString toolPath;
        // How long the burner listing may take before the tool counts as hung.
        std::chrono::milliseconds listingTimeLimit = std::chrono::seconds(60);
        // How long after a lost burner's alert the burners are listed again.
        std::chrono::milliseconds rescanDelay = std::chrono::milliseconds(100);
    };

    enum TerminateReply { TerminateCancel = 0, TerminateNow = 1 };

    EmberlinController(MainWindow& mainWindow, const Services& services, QObject* parent = nullptr);
    ~EmberlinController() override;

    // Start-up, once, before the event loop runs.
    void awakeFromNib();
    void setBurnState(int newState);
    void loadPrefs();

    // Actions and delegate answers.
    void reloadBurners();
    void burnAgain();
    void cancel();
    void openFiles(const QStringList& files);
    void burnDroppedFile(const QStringList& files);
    TerminateReply applicationShouldTerminate();
    void applicationWillTerminate();
    void noLongerFrontMost();

    void doBurn(const QString& imagePath);
    void interpretOutput(const QString& line);

    // TaskWrapperController
    void processOutput(const QString& output) override;
    void processExited(int waitStatus) override;

signals:
    // The application is asked to terminate (after the pseudo-terminal alert);
    // the quit guard answers it like any other quit request.
    void terminationRequested();
    // After every call of setBurnState, once the window has been gated.
    void burnStateChanged(int burnState);
    // The tool was launched to burn this image with these choices.
    void burnStarted(const QString& imagePath, const QString& burnerTitle,
                     const BurnChoices& choices);
    // A progress value was applied to the bar, 0.0 to 1.0.
    void burnProgressed(double fraction);
    // A fact line of the running burn, as the tool wrote it.
    void burnFactReported(const QString& line);
    // The disc in the drive was refused, with the status the window shows for
    // it; the burn waits for another disc.
    void discRefused(const QString& status);
    // The image matched its published SHA-256 in this checksum file before
    // the burn that just started.
    void imageMatchedChecksum(const QString& checksumFileName);
    // The burn was closed: success, failure, busy or lost burner, or the tool
    // ending without a word; with the status the window shows for it.
    void burnEnded(bool succeeded, const QString& status);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void requestBurnerList();
    void listingFinished(PipeTask::Outcome outcome, const QString& output);
    bool getFileDescriptors();
    void applyEffect(const InterpreterEffect& effect);
    void savePrefs();
    // Stops the current burn, if any. Counts as the end of that burn for
    // anything still working on its behalf (see burnGeneration_).
    void discardBurnTask();
    // Status, failure sound, back to Ready.
    void reportBurnFailure(const QString& status);
    // Every assembled line of the tool's output.
    void takeLine(const QString& line);
    void announceBurnEnd(const std::vector<InterpreterEffect>& effects);
    void failBurnLaunch(const QString& reason);
    // Runs the tool on the image with the window's choices; false when it
    // could not be started (and that was reported).
    bool launchBurn(const QString& imagePath);
    void imageChecked(const QString& imagePath, const QString& sha256);

    MainWindow& mainWindow_;
    Alerts& alerts_;
    Sounds& sounds_;
    PtyOpener& ptyOpener_;
    std::chrono::milliseconds listingTimeLimit_;
    std::chrono::milliseconds rescanDelay_;

    // The state record.
    bool ignoreOutput_ = false;
    QString imagePath_;
    OutputLineAssembler outputBuffer_;
    QString successSound_;
    QString failureSound_;
    QStringList burnerDevices_;
    int burnState_ = BurnStateListing;
    TaskWrapperPtr burnTask_;
    Preferences defaults_;
    FileDescriptor masterFD_;
    FileDescriptor slaveFD_;
    bool expectBurnerName_ = false;
    int burnerCount_ = 0;
    bool terminating_ = false;
    bool dropsAllowed_ = true;
    const QString toolPath_;

    const OutputLineAssembler::Interpret interpret_;
    std::unique_ptr<PipeTask> listing_;
    // A file opened during a listing: burned once the listing ends in Ready.
    bool openPending_ = false;
    // Whether the current burn's output has closed it (success, busy,
    // failure, lost burner); a burn whose tool exits without one failed.
    bool burnClosed_ = false;
    // Grows whenever a burn is replaced or discarded. Work for a burn that
    // spans a modal alert (whose nested event loop may start a new burn,
    // cancel or quit) checks it afterwards and stops when it has moved on.
    quint64 burnGeneration_ = 0;
    // The image's SHA-256, while it is compared with a published checksum
    // before the burn; nothing runs meanwhile.
    ImageChecksum imageChecksum_;
    std::optional<ChecksumFile> checking_;
};

} // namespace emberlin
