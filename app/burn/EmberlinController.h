#pragma once

#include "app/burn/BurnRun.h"
#include "app/burn/BurnerListing.h"
#include "app/burn/ChecksumGate.h"
#include "app/burn/Preferences.h"
#include "process/PipeTask.h"
#include "tool/BurnState.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>

class QSettings;

namespace emberlin {

class Alerts;
class BurnerClaims;
class MainWindow;
class PtyOpener;
class Sounds;

// The application's delegate and the main window's controller: the burn state
// machine, when the burners are listed, the burn's start, what the tool's
// output does, and the user's actions and quitting. It tells the window what
// to show. The burn itself, its task on the pseudo-terminal and the tool's
// output, runs in a BurnRun, as each burn of the copies window does.
class EmberlinController final : public QObject, private BurnRun::Client {
    Q_OBJECT

public:
    // What the controller may not reach by itself.
    struct Services {
        Alerts& alerts;
        Sounds& sounds;
        QSettings& settingsStore;
        PtyOpener& ptyOpener;
        // Which burners the burns of every window hold.
        BurnerClaims& burnerClaims;
        QString toolPath;
        // How long the burner listing may take before the tool counts as hung.
        std::chrono::milliseconds listingTimeLimit = std::chrono::seconds(60);
        // How long after a lost burner's alert the burners are listed again.
        std::chrono::milliseconds rescanDelay = std::chrono::milliseconds(100);
        // Whether a burn of another window erases, burns or verifies: quitting
        // then asks as during one of this window's.
        std::function<bool()> otherBurnWriting = [] {
            return false;
        };
    };

    enum TerminateReply { TerminateCancel = 0, TerminateNow = 1 };

    EmberlinController(MainWindow& mainWindow, const Services& services, QObject* parent = nullptr);
    ~EmberlinController() override;

    // Start-up, once, before the event loop runs.
    void awakeFromNib();
    void setBurnState(BurnState newState);
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
    // The tool's output, piece by piece, as its task hands it over.
    void processOutput(const QString& output);

    // The image Burn again burns; empty before the first.
    const QString& imagePath() const { return imagePath_; }
    // The burners the window lists, which the copies window burns to as well.
    BurnerListing& burnerListing() { return burnerListing_; }

signals:
    // The application is asked to terminate (after the pseudo-terminal alert);
    // the quit guard answers it like any other quit request.
    void terminationRequested();
    // After every call of setBurnState, once the window has been gated.
    void burnStateChanged(BurnState burnState);
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
    // The person chose to erase the disc, which held what discHolds tells.
    void discEraseAgreed(const QString& discHolds);
    // The image was compared with its published checksum before the burn
    // that just started.
    void imageChecked(const ChecksumCheck& check);
    // The burn was closed: success, failure, busy or lost burner, or the tool
    // ending without a word; with the status the window shows for it.
    void burnEnded(bool succeeded, const QString& status);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void listingEnded(PipeTask::Outcome outcome, const QString& output);
    void noPseudoTerminal();
    void savePrefs();
    // Status, failure sound, back to Ready.
    void reportBurnFailure(const QString& status);
    void failBurnLaunch(const QString& reason);
    // The status of a burn until the tool speaks.
    void showStarting();
    // Runs the tool on the image with the window's choices; false when it
    // could not be started (and that was reported). The image's SHA-256 as
    // compared with a published one, if it was.
    bool launchBurn(const QString& imagePath, const QString& expectedFileSha256 = {});
    void checksumCompared(const ChecksumComparison& comparison);
    // Whether the burner chosen when the burn was asked for is still the one
    // selected; the failure is reported if not.
    bool chosenBurnerSelected();
    // Stops the burn, or the check before it, if any.
    void discardBurn();

    // BurnRun::Client
    InterpreterInput interpreterInput() const override;
    void applyEffect(const InterpreterEffect& effect) override;
    void factReported(const QString& line) override;
    void burnConcluded(bool succeeded, const QString& status) override;
    void discRefusedByLine(const QString& status) override;
    bool eraseAsked(const ToolFacts& disc) override;
    void eraseAgreed(const ToolFacts& disc) override;
    void toolStoppedUnexpectedly(int waitStatus) override;

    MainWindow& mainWindow_;
    Alerts& alerts_;
    Sounds& sounds_;
    PtyOpener& ptyOpener_;
    std::function<bool()> otherBurnWriting_;

    // The state record; the burn's own part (burnTask, outputBuffer,
    // ignoreOutput, burnClosed, burnGeneration) is the run's.
    BurnRun burnRun_;
    QString imagePath_;
    // The burner of the burn the tool runs, as the menu named it then.
    QString burnerTitle_;
    QString successSound_;
    QString failureSound_;
    BurnState burnState_ = BurnStateListing;
    Preferences defaults_;
    bool terminating_ = false;
    bool dropsAllowed_ = true;
    const QString toolPath_;

    BurnerListing burnerListing_;
    // The device of the burner selected when the burn was asked for.
    std::optional<QString> chosenDevice_;
    // A file opened during a listing: burned once the listing ends in Ready.
    bool openPending_ = false;
    // The image compared with a published checksum before the burn; nothing
    // runs meanwhile.
    ChecksumGate checksumGate_;
};

} // namespace emberlin
