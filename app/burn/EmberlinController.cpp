#include "app/burn/EmberlinController.h"

#include "app/burn/Alerts.h"
#include "app/burn/Overloaded.h"
#include "app/burn/Sounds.h"
#include "process/PtyOpener.h"
#include "views/DiscImageName.h"
#include "views/MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <utility>

namespace emberlin {

namespace {

// The tool is started elsewhere than the app's own folder, so a relative path
// must not reach it.
QString absolutePath(const QString& path) {
    const QFileInfo file(path);
    return path.isEmpty() || !file.isRelative() ? path : file.absoluteFilePath();
}

// The last component, also of a folder named with a trailing "/".
QString fileNameOf(const QString& path) {
    return QFileInfo(QDir::cleanPath(path)).fileName();
}

} // namespace

EmberlinController::EmberlinController(MainWindow& mainWindow, const Services& services,
                                       QObject* parent)
    : QObject(parent)
    , mainWindow_(mainWindow)
    , alerts_(services.alerts)
    , sounds_(services.sounds)
    , ptyOpener_(services.ptyOpener)
    , otherBurnWriting_(services.otherBurnWriting)
    , burnRun_(*this, mainWindow, services.burnerClaims, services.alerts)
    , defaults_(services.settingsStore)
    , toolPath_(services.toolPath)
    , burnerListing_(mainWindow, services.burnerClaims, burnRun_, services.toolPath,
                     services.listingTimeLimit, services.rescanDelay) {
    connect(&burnerListing_, &BurnerListing::ended, this, &EmberlinController::listingEnded);
    connect(&burnerListing_, &BurnerListing::rescanDue, this, &EmberlinController::reloadBurners);
    connect(&checksumGate_, &ChecksumGate::compared, this, &EmberlinController::checksumCompared);
}

EmberlinController::~EmberlinController() = default;

void EmberlinController::awakeFromNib() {
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &EmberlinController::applicationWillTerminate);
    loadPrefs();
    imagePath_.clear();
    burnRun_.clearOutput();
    successSound_ = sounds_.soundNamed(Sounds::successName);
    failureSound_ = sounds_.soundNamed(Sounds::failureName);
    reloadBurners();
    mainWindow_.installEventFilter(this);
}

bool EmberlinController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &mainWindow_ && event->type() == QEvent::WindowDeactivate)
        noLongerFrontMost();
    return QObject::eventFilter(watched, event);
}

void EmberlinController::noLongerFrontMost() {
    mainWindow_.redrawContent();
}

void EmberlinController::setBurnState(BurnState newState) {
    burnState_ = newState;
    dropsAllowed_ = newState == BurnStateReady;
    mainWindow_.gate(newState, !imagePath_.isEmpty());
    emit burnRun_.reports().stateChanged(newState);
}

void EmberlinController::loadPrefs() {
    mainWindow_.setChoices(defaults_.load());
}

void EmberlinController::savePrefs() {
    defaults_.save(mainWindow_.choices());
}

void EmberlinController::reloadBurners() {
    setBurnState(BurnStateListing);
    burnRun_.setIgnoreOutput(false);
    // A burn still running (its burner lost) speaks again once the burners
    // are known, as if the listing had taken no time.
    burnRun_.holdOutput(true);
    burnerListing_.start();
}

void EmberlinController::listingEnded(PipeTask::Outcome outcome, const QString& output) {
    burnRun_.clearOutput();
    if (outcome == PipeTask::Outcome::Exited) {
        processOutput(output);
        // The tool's exit completes its output.
        burnRun_.finishOutput();
    } else {
        setBurnState(BurnStateNoBurners);
        mainWindow_.showStatus(burnerListing_.failureStatus(outcome));
    }
    if (burnState_ == BurnStateListing)
        setBurnState(BurnStateReady);
    burnerListing_.publish();
    burnRun_.holdOutput(false);
    if (std::exchange(openPending_, false) && burnState_ == BurnStateReady)
        doBurn(imagePath_);
}

void EmberlinController::processOutput(const QString& output) {
    burnRun_.processOutput(output);
}

void EmberlinController::interpretOutput(const QString& line) {
    burnRun_.interpretOutput(line);
}

InterpreterInput EmberlinController::interpreterInput() const {
    return {burnState_, false, mainWindow_.eraseChecked(), burnerListing_.expectBurnerName()};
}

void EmberlinController::applyEffect(const InterpreterEffect& effect) {
    std::visit(Overloaded{
                   [this](const effect::SetBurnState& e) { setBurnState(e.state); },
                   [this](const effect::PlaySuccessSound&) { sounds_.play(successSound_); },
                   [this](const effect::PlayFailureSound&) { sounds_.play(failureSound_); },
                   [this](const effect::CriticalAlert& e) {
                       alerts_.runCritical(e.message, e.informative, {e.button});
                   },
                   // The listing's own: the burners and the rescan; the status and
                   // the bar are the run's.
                   [this](const auto& e) {
                       if constexpr (requires { burnerListing_.take(e); })
                           burnerListing_.take(e);
                   },
               },
               effect);
}

void EmberlinController::doBurn(const QString& imagePath) {
    discardBurn();
    const quint64 generation = burnRun_.generation();
    burnRun_.clearOutput();
    mainWindow_.showStatus(BurnRun::startingStatus());
    mainWindow_.showFileName(fileNameOf(imagePath));
    mainWindow_.hideChecksumNote();

    if (!QFileInfo::exists(imagePath)) {
        alerts_.runCritical(
            tr("Image file not found"),
            tr("The image file cannot be found (perhaps it has been renamed or moved?)"),
            {tr("OK")});
        if (generation != burnRun_.generation())
            return; // a new burn was started while the alert was open
        mainWindow_.showStatus(BurnRun::imageMissingStatus());
        setBurnState(BurnStateReady);
        return;
    }
    chosenDevice_ = burnerListing_.device(mainWindow_.selectedBurner());
    if (!chosenBurnerSelected())
        return;
    // Nothing is written before a published checksum was compared.
    if (checksumGate_.start(imagePath)) {
        mainWindow_.showStatus(checkingStatus(imagePath, checksumGate_.fileName()));
        dropsAllowed_ = false;
        mainWindow_.gateChecking();
        return;
    }
    mainWindow_.showChecksumNote(
        tr("No checksum file was found beside “%1”.").arg(fileNameOf(imagePath)));
    launchBurn(imagePath);
}

void EmberlinController::checksumCompared(const ChecksumComparison& comparison) {
    if (burnState_ != BurnStateReady)
        return; // the burners are being listed again
    // The window as a burn in Ready has it, before the tool speaks.
    setBurnState(BurnStateReady);
    mainWindow_.showStatus(BurnRun::startingStatus());
    const QString& imagePath = comparison.imagePath;
    const QString name = fileNameOf(imagePath);
    const QString& checksumFile = comparison.file.fileName;
    if (comparison.sha256.isEmpty()) {
        launchBurn(imagePath); // unreadable: the tool says why
        return;
    }
    const QString algorithm = comparison.file.published.algorithmName();
    if (comparison.matches) {
        mainWindow_.showChecksumNote(
            comparison.file.published.clearSigned
                ? tr("“%1” matches its %2 in %3; the file's signature was not "
                     "checked.")
                      .arg(name, algorithm, checksumFile)
                : tr("“%1” matches its %2 in %3.").arg(name, algorithm, checksumFile));
        launchBurn(imagePath, comparison.record(false));
        return;
    }
    const quint64 generation = burnRun_.generation();
    const bool burnAnyway = askBurnAnyway(alerts_, comparison);
    if (generation != burnRun_.generation() || burnState_ != BurnStateReady)
        return; // something else began while the alert was open
    if (burnAnyway) {
        mainWindow_.showChecksumNote(
            tr("“%1” does not match its %2 in %3.").arg(name, algorithm, checksumFile));
        launchBurn(imagePath, comparison.record(true));
        return;
    }
    reportBurnFailure(notBurnedStatus(comparison));
}

void EmberlinController::launchBurn(const QString& imagePath,
                                    const std::optional<ChecksumCheck>& checksum) {
    const quint64 generation = burnRun_.generation();
    const BurnChoices choices = mainWindow_.choices();
    if (!chosenBurnerSelected())
        return;
    const Burner burner{mainWindow_.burnerTitle(mainWindow_.selectedBurner()), *chosenDevice_};
    const BurnRun::Launch launch =
        burnRun_.start(toolPath_, imagePath, choices, burner, ptyOpener_, checksum);
    if (launch == BurnRun::Launch::NoTerminal) {
        noPseudoTerminal();
        if (generation == burnRun_.generation())
            discardBurn();
    } else if (launch == BurnRun::Launch::Failed) {
        failBurnLaunch(burnRun_.launchFailureStatus(launch), burnRun_.launchError());
    }
}

bool EmberlinController::chosenBurnerSelected() {
    // No burner, none selected, a name line without its device line; or,
    // after the check, the burners listed anew or the one chosen taken by the
    // copies window: the burn goes to no other burner.
    if (chosenDevice_ && burnerListing_.device(mainWindow_.selectedBurner()) == chosenDevice_)
        return true;
    reportBurnFailure(tr("Burn failed - no burner is selected"));
    return false;
}

void EmberlinController::discardBurn() {
    burnRun_.discard();
    checksumGate_.cancel();
}

void EmberlinController::reportBurnFailure(const QString& status) {
    mainWindow_.showStatus(status);
    sounds_.play(failureSound_);
    setBurnState(BurnStateReady);
}

void EmberlinController::failBurnLaunch(const QString& status, const QString& reason) {
    discardBurn();
    reportBurnFailure(status);
    // Last, because a new burn may start while it is open.
    alerts_.runCritical(
        tr("Burn failed"),
        tr("The disc-image tool could not be started (%1: %2).").arg(toolPath_, reason),
        {tr("OK")});
}

void EmberlinController::noPseudoTerminal() {
    alerts_.runCritical(
        tr("Eeek! Unexpected System Error"),
        tr("Unable to get/set psuedo-tty file descriptors.  Not sure what to do next..."),
        {tr("Quit")});
    emit terminationRequested();
}

void EmberlinController::openFiles(const QStringList& files) {
    if (files.isEmpty() || burnState_ == BurnStateTerminating)
        return;
    const QString path = absolutePath(files.first());
    if (!isDiscImageName(path)) {
        alerts_.runCritical(tr("Not a disc image"),
                            tr("“%1” is not a disc image, so it was not burned. Emberlin "
                               "burns %2 files.")
                                .arg(fileNameOf(path), discImageExtensionChoice()),
                            {tr("OK")});
        return;
    }
    // The window shows the image that Burn again burns; while a burn runs it
    // shows that burn's image, so another one has to wait for its end.
    if (burnStateReached(burnState_, BurnStateAwaitingDiscToErase) || checksumGate_.running()) {
        alerts_.runCritical(tr("A burn is in progress"),
                            tr("“%1” is being burned. Open “%2” again once "
                               "this burn has ended.")
                                .arg(fileNameOf(imagePath_), fileNameOf(path)),
                            {tr("OK")});
        return;
    }
    imagePath_ = path;
    if (burnState_ == BurnStateReady) {
        doBurn(imagePath_);
        return;
    }
    mainWindow_.showFileName(fileNameOf(imagePath_));
    // Burned once the listing ends in Ready; without burners, by Burn again.
    openPending_ = burnState_ == BurnStateListing;
}

void EmberlinController::burnDroppedFile(const QStringList& files) {
    if (!dropsAllowed_ || files.isEmpty())
        return;
    imagePath_ = absolutePath(files.first());
    doBurn(imagePath_);
}

void EmberlinController::burnAgain() {
    doBurn(imagePath_);
}

void EmberlinController::cancel() {
    // The image's name stays: it is what Burn again burns.
    mainWindow_.hideChecksumNote();
    mainWindow_.showStatus(tr("Burn cancelled.  Ready to burn another disk image."));
    setBurnState(BurnStateReady);
    discardBurn();
}

EmberlinController::TerminateReply EmberlinController::applicationShouldTerminate() {
    // Return keeps the burn going: quitting may ruin the disc.
    constexpr int quitAnswer = 0;
    constexpr int cancelAnswer = 1;
    if (!burnStateReached(burnState_, BurnStateErasing) && !otherBurnWriting_())
        return TerminateNow;
    const int answer = alerts_.runCritical(
        tr("Really quit?"),
        tr("There is currently a burn in progress.  Quitting now may make your disc unusable."),
        {tr("Quit anyway"), tr("Cancel")}, cancelAnswer);
    return answer == quitAnswer ? TerminateNow : TerminateCancel;
}

void EmberlinController::applicationWillTerminate() {
    if (terminating_)
        return;
    setBurnState(BurnStateTerminating);
    terminating_ = true;
    burnerListing_.stop();
    openPending_ = false;
    discardBurn();
    savePrefs();
}

void EmberlinController::toolStoppedUnexpectedly(const QString& how) {
    sounds_.play(failureSound_);
    setBurnState(BurnStateReady);
    alerts_.runCritical(tr("Burn failed"),
                        tr("The disc-image tool stopped unexpectedly (%1).").arg(how), {tr("OK")});
}

} // namespace emberlin
