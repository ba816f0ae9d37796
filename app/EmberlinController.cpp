#include "EmberlinController.h"

#include "Alerts.h"
#include "BurnCommand.h"
#include "BurnerListing.h"
#include "DropZone.h"
#include "OutputLineAssembler.h"
#include "PtyOpener.h"
#include "Sounds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <sys/wait.h>
#include <utility>

namespace {

#ifdef Q_OS_MACOS
const auto successSoundName = QStringLiteral("Glass");
const auto failureSoundName = QStringLiteral("Basso");
#else
const auto successSoundName = QStringLiteral("complete");
const auto failureSoundName = QStringLiteral("dialog-error");
#endif

const auto leaveAppendableKey = QStringLiteral("Leave Appendable");
const auto verifyBurnsKey = QStringLiteral("Verify Burns");
const auto eraseIfPossibleKey = QStringLiteral("Erase If Possible");
const auto burnSpeedKey = QStringLiteral("Burn Speed");
const auto defaultSpeedTitle = QStringLiteral("max");

const auto listingNotStartedText = QStringLiteral("The disc-image tool could not be started (%1).");
const auto listingHungText = QStringLiteral("The disc-image tool did not answer (%1).");

const auto pleaseWaitText = QStringLiteral("Please wait...");
const auto imageMissingMessage = QStringLiteral("Image file not found");
const auto imageMissingInformative =
    QStringLiteral("The image file cannot be found (perhaps it has been renamed or moved?)");
const auto imageMissingStatus = QStringLiteral("Burn failed - image file not found");
const auto noBurnerStatus = QStringLiteral("Burn failed - no burner is selected");
const auto burnFailedMessage = QStringLiteral("Burn failed");
const auto launchFailedStatus =
    QStringLiteral("Burn failed - the disc-image tool could not be started (%1: %2)");
const auto launchFailedInformative =
    QStringLiteral("The disc-image tool could not be started (%1: %2).");
const auto toolStoppedStatus =
    QStringLiteral("Burn failed - the disc-image tool stopped unexpectedly (%1)");
const auto toolStoppedInformative =
    QStringLiteral("The disc-image tool stopped unexpectedly (%1).");
const auto okButton = QStringLiteral("OK");

const auto ptyFailedMessage = QStringLiteral("Eeek! Unexpected System Error");
const auto ptyFailedInformative =
    QStringLiteral("Unable to get/set psuedo-tty file descriptors.  Not sure what to do next...");
const auto quitButton = QStringLiteral("Quit");

const auto cancelledStatus = QStringLiteral("Burn cancelled.  Ready to burn another disk image.");

const auto reallyQuitMessage = QStringLiteral("Really quit?");
const auto reallyQuitInformative = QStringLiteral(
    "There is currently a burn in progress.  Quitting now may make your disc unusable.");
const auto quitAnywayButton = QStringLiteral("Quit anyway");
const auto cancelButtonTitle = QStringLiteral("Cancel");

constexpr auto rescanDelay = std::chrono::milliseconds(100);

// The bar's determinate range; the tool's fractions run from 0.0 to 1.0.
constexpr int progressSteps = 1000;

int progressStepsFor(double fraction) {
    if (std::isnan(fraction))
        return 0;
    return static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * progressSteps));
}

// The tool is started elsewhere than the app's own folder, so a relative path
// must not reach it.
QString absolutePath(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isRelative())
        return path;
    return QFileInfo(path).absoluteFilePath();
}

QString describeWaitStatus(int waitStatus) {
    if (WIFSIGNALED(waitStatus))
        return QStringLiteral("signal %1").arg(WTERMSIG(waitStatus));
    return QStringLiteral("exit status %1").arg(WEXITSTATUS(waitStatus));
}

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace

EmberlinController::EmberlinController(const Outlets& outlets, const Services& services,
                                       QObject* parent)
    : QObject(parent)
    , outlets_(outlets)
    , services_(services) {
    state_.toolPath = services.toolPath;
}

EmberlinController::~EmberlinController() {
    state_.burnTask.reset();
}

void EmberlinController::awakeFromNib() {
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &EmberlinController::applicationWillTerminate);
    loadPrefs();
    state_.imagePath.clear();
    state_.outputBuffer.clear();
    outlets_.cancelButton->setEnabled(false);
    state_.successSound = services_.sounds.soundNamed(successSoundName);
    state_.failureSound = services_.sounds.soundNamed(failureSoundName);
    state_.burnerDevices.clear();
    reloadBurners();
    outlets_.mainWindow->installEventFilter(this);
}

bool EmberlinController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == outlets_.mainWindow && event->type() == QEvent::WindowDeactivate)
        noLongerFrontMost();
    return QObject::eventFilter(watched, event);
}

void EmberlinController::noLongerFrontMost() {
    QWidget* content = outlets_.mainWindow->centralWidget();
    (content != nullptr ? content : outlets_.mainWindow)->update();
}

void EmberlinController::setBurnState(int newState) {
    state_.burnState = newState;
    if (newState == BurnStateReady) {
        outlets_.progressBar->setHidden(true);
        outlets_.dropZone->acceptDrops(true);
        state_.dropsAllowed = true;
        outlets_.appendableCheckbox->setEnabled(true);
        outlets_.verifyCheckbox->setEnabled(true);
        outlets_.burnSpeedMenu->setEnabled(true);
        outlets_.eraseCheckbox->setEnabled(true);
        outlets_.burnerMenu->setEnabled(true);
        outlets_.cancelButton->setEnabled(false);
        outlets_.reloadBurnersButton->setEnabled(true);
        outlets_.burnAgainButton->setEnabled(!state_.imagePath.isEmpty());
        emit burnStateChanged(newState);
        return;
    }
    outlets_.dropZone->acceptDrops(false);
    state_.dropsAllowed = false;
    outlets_.burnAgainButton->setEnabled(false);
    outlets_.appendableCheckbox->setEnabled(false);
    outlets_.verifyCheckbox->setEnabled(false);
    outlets_.burnSpeedMenu->setEnabled(false);
    outlets_.eraseCheckbox->setEnabled(false);
    outlets_.burnerMenu->setEnabled(false);
    outlets_.reloadBurnersButton->setEnabled(state_.burnState == BurnStateNoBurners ||
                                             state_.burnState == BurnStateReady);
    outlets_.cancelButton->setEnabled(state_.burnState == BurnStateAwaitingDiscToErase ||
                                      state_.burnState == BurnStateAwaitingDisc);
    outlets_.progressBar->setHidden(state_.burnState < BurnStateErasing);
    emit burnStateChanged(newState);
}

void EmberlinController::loadPrefs() {
    state_.defaults = &services_.settingsStore;
    QSettings& store = *state_.defaults;

    outlets_.appendableCheckbox->setChecked(false);
    if (store.contains(leaveAppendableKey))
        outlets_.appendableCheckbox->setChecked(store.value(leaveAppendableKey).toBool());
    outlets_.verifyCheckbox->setChecked(true);
    if (store.contains(verifyBurnsKey))
        outlets_.verifyCheckbox->setChecked(store.value(verifyBurnsKey).toBool());
    outlets_.eraseCheckbox->setChecked(true);
    if (store.contains(eraseIfPossibleKey))
        outlets_.eraseCheckbox->setChecked(store.value(eraseIfPossibleKey).toBool());

    QComboBox* speeds = outlets_.burnSpeedMenu;
    speeds->setCurrentIndex(speeds->findText(defaultSpeedTitle));
    if (store.contains(burnSpeedKey)) {
        // A title that names no item (an older or foreign value) keeps "max".
        const int stored = speeds->findText(store.value(burnSpeedKey).toString());
        if (stored >= 0)
            speeds->setCurrentIndex(stored);
    }
}

void EmberlinController::savePrefs() {
    QSettings& store = *state_.defaults;
    store.setValue(leaveAppendableKey, outlets_.appendableCheckbox->isChecked());
    store.setValue(verifyBurnsKey, outlets_.verifyCheckbox->isChecked());
    store.setValue(eraseIfPossibleKey, outlets_.eraseCheckbox->isChecked());
    store.setValue(burnSpeedKey, outlets_.burnSpeedMenu->currentText());
    store.sync();
}

void EmberlinController::reloadBurners() {
    setBurnState(BurnStateListing);
    requestBurnerList();
    if (state_.burnState == BurnStateListing)
        setBurnState(BurnStateReady);
}

void EmberlinController::requestBurnerList() {
    outlets_.burnerMenu->clear();
    state_.burnerDevices.clear();
    state_.burnerCount = 0;
    state_.expectBurnerName = true;
    state_.ignoreOutput = false;
    const ListingOutcome outcome = runBurnerListing(state_.toolPath, services_.listingTimeLimit);
    state_.outputBuffer.clear();
    switch (outcome.result) {
    case ListingOutcome::Result::Completed:
        processOutput(outcome.output);
        selectFirstBurner();
        return;
    case ListingOutcome::Result::FailedToStart:
        setBurnState(BurnStateNoBurners);
        showStatus(listingNotStartedText.arg(state_.toolPath));
        return;
    case ListingOutcome::Result::TimedOut:
        setBurnState(BurnStateNoBurners);
        showStatus(listingHungText.arg(state_.toolPath));
        return;
    }
}

void EmberlinController::selectFirstBurner() {
    if (outlets_.burnerMenu->count() > 0)
        outlets_.burnerMenu->setCurrentIndex(0);
}

void EmberlinController::processOutput(const QString& output) {
    assembleOutputLines(state_.outputBuffer, output,
                        [this](const QString& line) { interpretOutput(line); });
}

void EmberlinController::interpretOutput(const QString& line) {
    const InterpreterInput input{static_cast<BurnState>(state_.burnState), state_.ignoreOutput,
                                 outlets_.eraseCheckbox->isChecked(), state_.expectBurnerName};
    // Noted before any alert can open, so that the tool's exit during the
    // alert is not taken for a failure.
    if (input.burnState >= BurnStateReady && !input.ignoreOutput && isClosingLine(line))
        state_.burnClosed = true;
    const quint64 generation = burnGeneration_;
    for (const InterpreterEffect& effect : interpretLine(line, input)) {
        applyEffect(effect);
        if (generation != burnGeneration_)
            return; // the burn this line belonged to is gone
    }
}

void EmberlinController::applyEffect(const InterpreterEffect& effect) {
    QProgressBar* bar = outlets_.progressBar;
    std::visit(
        Overloaded{
            [this](const effect::ShowStatus& e) { showStatus(e.text); },
            [this](const effect::SetBurnState& e) { setBurnState(e.state); },
            [bar](const effect::ProgressIndeterminate&) { bar->setRange(0, 0); },
            [bar](const effect::ProgressValue& e) {
                bar->setRange(0, progressSteps);
                bar->setValue(progressStepsFor(e.fraction));
            },
            [bar](const effect::HideProgress&) { bar->setHidden(true); },
            [this](const effect::PlaySuccessSound&) { services_.sounds.play(state_.successSound); },
            [this](const effect::PlayFailureSound&) { services_.sounds.play(state_.failureSound); },
            [this](const effect::CriticalAlert& e) {
                services_.alerts.runCritical(e.message, e.informative, {e.button});
            },
            [this](const effect::SetIgnoreOutput&) { state_.ignoreOutput = true; },
            [this](const effect::ScheduleRescan&) {
                QTimer::singleShot(rescanDelay, this, [this] {
                    // The application may have begun to end meanwhile.
                    if (!state_.terminating)
                        reloadBurners();
                });
            },
            [this](const effect::ClearBurners&) {
                outlets_.burnerMenu->clear();
                state_.burnerDevices.clear();
            },
            [this](const effect::AddBurnerName& e) {
                outlets_.burnerMenu->insertItem(state_.burnerCount, e.title);
                ++state_.burnerCount;
            },
            [this](const effect::AddBurnerDevice& e) { state_.burnerDevices.append(e.device); },
            [this](const effect::ToggleExpectBurnerName&) {
                state_.expectBurnerName = !state_.expectBurnerName;
            },
        },
        effect);
}

void EmberlinController::showStatus(const QString& text) {
    outlets_.deviceStatusField->setText(text);
}

void EmberlinController::doBurn(const QString& imagePath) {
    discardBurnTask();
    const quint64 generation = burnGeneration_;
    state_.outputBuffer.clear();
    showStatus(pleaseWaitText);
    const QString path = absolutePath(imagePath);
    outlets_.filenameField->setText(QFileInfo(path).fileName());

    BurnOptions options;
    options.imagePath = path;
    options.leaveAppendable = outlets_.appendableCheckbox->isChecked();
    options.verify = outlets_.verifyCheckbox->isChecked();
    options.speedTitle = outlets_.burnSpeedMenu->currentText();
    const int burner = outlets_.burnerMenu->currentIndex();
    const bool burnerListed = burner >= 0 && burner < state_.burnerDevices.size();
    if (burnerListed)
        options.deviceId = trimBlanksAndTabs(state_.burnerDevices.at(burner));

    if (!QFileInfo::exists(path)) {
        services_.alerts.runCritical(imageMissingMessage, imageMissingInformative, {okButton});
        if (generation != burnGeneration_)
            return; // a new burn was started while the alert was open
        showStatus(imageMissingStatus);
        setBurnState(BurnStateReady);
        return;
    }
    if (!burnerListed) {
        // No burner, none selected, or a name line without its device line.
        reportBurnFailure(noBurnerStatus);
        return;
    }
    options.erase = outlets_.eraseCheckbox->isChecked();

    state_.burnTask.reset(new TaskWrapper(*this, burnArguments(state_.toolPath, options)));
    state_.ignoreOutput = false;
    state_.burnClosed = false;
    if (!getFileDescriptors()) {
        if (generation == burnGeneration_)
            discardBurnTask();
        return;
    }
    if (!state_.burnTask->startProcess(std::move(state_.masterFD), std::move(state_.slaveFD)))
        failBurnLaunch(state_.burnTask->launchError());
}

void EmberlinController::reportBurnFailure(const QString& status) {
    showStatus(status);
    services_.sounds.play(state_.failureSound);
    setBurnState(BurnStateReady);
}

void EmberlinController::failBurnLaunch(const QString& reason) {
    discardBurnTask();
    reportBurnFailure(launchFailedStatus.arg(state_.toolPath, reason));
    // Last, because a new burn may start while it is open.
    services_.alerts.runCritical(burnFailedMessage,
                                 launchFailedInformative.arg(state_.toolPath, reason), {okButton});
}

bool EmberlinController::getFileDescriptors() {
    if (services_.ptyOpener.openRawPair(state_.masterFD, state_.slaveFD))
        return true;
    services_.alerts.runCritical(ptyFailedMessage, ptyFailedInformative, {quitButton});
    emit terminationRequested();
    return false;
}

void EmberlinController::discardBurnTask() {
    ++burnGeneration_;
    state_.burnTask.reset();
}

void EmberlinController::openFiles(const QStringList& files) {
    if (files.isEmpty())
        return;
    state_.imagePath = absolutePath(files.first());
    if (state_.burnState == BurnStateReady)
        doBurn(state_.imagePath);
}

void EmberlinController::burnDroppedFile(const QStringList& files) {
    if (!state_.dropsAllowed || files.isEmpty())
        return;
    state_.imagePath = absolutePath(files.first());
    doBurn(state_.imagePath);
}

void EmberlinController::burnAgain() {
    doBurn(state_.imagePath);
}

void EmberlinController::cancel() {
    outlets_.filenameField->setText(QString());
    showStatus(cancelledStatus);
    setBurnState(BurnStateReady);
    discardBurnTask();
}

EmberlinController::TerminateReply EmberlinController::applicationShouldTerminate() {
    if (state_.burnState < BurnStateErasing)
        return TerminateNow;
    const int answer = services_.alerts.runCritical(reallyQuitMessage, reallyQuitInformative,
                                                    {quitAnywayButton, cancelButtonTitle});
    return answer == 0 ? TerminateNow : TerminateCancel;
}

void EmberlinController::applicationWillTerminate() {
    if (state_.terminating)
        return;
    setBurnState(BurnStateTerminating);
    state_.terminating = true;
    discardBurnTask();
    savePrefs();
}

void EmberlinController::processExited(int waitStatus) {
    // The tool ended without saying how the burn went.
    if (state_.burnClosed || state_.ignoreOutput)
        return;
    state_.burnClosed = true;
    const QString how = describeWaitStatus(waitStatus);
    reportBurnFailure(toolStoppedStatus.arg(how));
    services_.alerts.runCritical(burnFailedMessage, toolStoppedInformative.arg(how), {okButton});
}

void EmberlinController::processStarted() {}

void EmberlinController::processFinished() {}
