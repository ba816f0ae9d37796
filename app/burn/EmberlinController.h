#pragma once

#include "app/burn/BurnRun.h"
#include "app/burn/BurnServices.h"
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

namespace emberlin {

class MainWindow;

// The application's delegate and the main window's controller: the burn state
// machine, when the burners are listed, the burn's start, what the tool's
// output does, and the user's actions and quitting. It tells the window what
// to show. The burn itself, its task on the pseudo-terminal and the tool's
// output, runs in a BurnRun, as each burn of the copies window does.
class EmberlinController final : public QObject, private BurnRun::Client {
    Q_OBJECT

public:
    // What the controller may not reach by itself.
    struct Services : BurnServices {
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
    // What happens to the window's burn.
    BurnReports& burnReports() { return burnRun_.reports(); }

signals:
    // The application is asked to terminate (after the pseudo-terminal alert);
    // the quit guard answers it like any other quit request.
    void terminationRequested();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void listingEnded(PipeTask::Outcome outcome, const QString& output);
    void noPseudoTerminal();
    void savePrefs();
    // Status, failure sound, back to Ready.
    void reportBurnFailure(const QString& status);
    void failBurnLaunch(const QString& status, const QString& reason);
    // Runs the tool on the image with the window's choices, with its
    // comparison with a published checksum, if there was one.
    void launchBurn(const QString& imagePath,
                    const std::optional<ChecksumCheck>& checksum = std::nullopt);
    void checksumCompared(const ChecksumComparison& comparison);
    // Whether the burner chosen when the burn was asked for is still the one
    // selected; the failure is reported if not.
    bool chosenBurnerSelected();
    // Stops the burn, or the check before it, if any.
    void discardBurn();

    // BurnRun::Client
    InterpreterInput interpreterInput() const override;
    void applyEffect(const InterpreterEffect& effect) override;
    void toolStoppedUnexpectedly(const QString& how) override;

    MainWindow& mainWindow_;
    Alerts& alerts_;
    Sounds& sounds_;
    PtyOpener& ptyOpener_;
    std::function<bool()> otherBurnWriting_;

    // The state record; the burn's own part (burnTask, outputBuffer,
    // ignoreOutput, burnClosed, burnGeneration) is the run's.
    BurnRun burnRun_;
    QString imagePath_;
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
