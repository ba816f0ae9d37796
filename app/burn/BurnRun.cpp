#include "app/burn/BurnRun.h"

#include "app/burn/BurnerClaims.h"
#include "app/burn/EraseQuestion.h"
#include "app/burn/Overloaded.h"
#include "process/PtyOpener.h"
#include "tool/BurnCommand.h"
#include "tool/FactLine.h"
#include "tool/ToolQuestion.h"
#include "views/BurnStatusView.h"

#include <QCoreApplication>
#include <algorithm>
#include <sys/wait.h>

namespace emberlin {

namespace {

QString lastStatusOf(const std::vector<InterpreterEffect>& effects) {
    QString status;
    for (const InterpreterEffect& e : effects) {
        if (const auto* shown = std::get_if<effect::ShowStatus>(&e))
            status = shown->text;
    }
    return status;
}

// How a tool that ended by itself ended: "exit status 1", "signal 9".
QString exitDescription(int waitStatus) {
    return WIFSIGNALED(waitStatus)
               ? QCoreApplication::translate("BurnRun", "signal %1").arg(WTERMSIG(waitStatus))
               : QCoreApplication::translate("BurnRun", "exit status %1")
                     .arg(WEXITSTATUS(waitStatus));
}

} // namespace

BurnRun::BurnRun(Client& client, BurnStatusView& view, BurnerClaims& claims, Alerts& alerts)
    : client_(client)
    , view_(view)
    , claims_(claims)
    , alerts_(alerts)
    , interpret_([this](const QString& line) { takeLine(line); }) {}

BurnRun::~BurnRun() {
    burnTask_.reset();
    releaseBurner();
}

BurnRun::Launch BurnRun::start(const QString& toolPath, const QString& imagePath,
                               const BurnChoices& choices, const Burner& burner,
                               PtyOpener& ptyOpener, const std::optional<ChecksumCheck>& checksum) {
    releaseBurner();
    burnTask_.reset(
        new TaskWrapper(*this, burnArguments(toolPath, imagePath, choices, burner.device)));
    toolPath_ = toolPath;
    burner_ = burner;
    ignoreOutput_ = false;
    burnClosed_ = false;
    successPending_.reset();
    // The tool must burn the very bytes that matched.
    expectedFileSha256_ = checksum && !checksum->burnedAnyway ? checksum->fileSha256 : QString();
    facts_ = {};
    posix::FileDescriptor masterFD;
    posix::FileDescriptor slaveFD;
    if (!ptyOpener.openRawPair(masterFD, slaveFD))
        return Launch::NoTerminal;
    if (!burnTask_->startProcess(std::move(masterFD), std::move(slaveFD)))
        return Launch::Failed;
    claimedDevice_ = burner.device;
    claims_.claim(burner.device, *this);
    emit reports_.started(imagePath, burner.title, choices);
    if (checksum)
        emit reports_.checksumChecked(*checksum);
    return Launch::Started;
}

QString BurnRun::launchError() const {
    return burnTask_ ? burnTask_->launchError() : QString();
}

QString BurnRun::launchFailureStatus(Launch launch) const {
    if (launch == Launch::NoTerminal)
        return QCoreApplication::translate(
            "BurnRun", "Burn failed - no pseudo-terminal could be opened for the disc-image tool");
    return QCoreApplication::translate(
               "BurnRun", "Burn failed - the disc-image tool could not be started (%1: %2)")
        .arg(toolPath_, launchError());
}

void BurnRun::discard() {
    ++burnGeneration_;
    successPending_.reset();
    burnTask_.reset();
    releaseBurner();
}

void BurnRun::holdOutput(bool hold) {
    if (burnTask_)
        burnTask_->holdOutput(hold);
}

void BurnRun::processOutput(const QString& output) {
    outputBuffer_.append(output, interpret_);
}

void BurnRun::takeLine(const QString& line) {
    // Fact lines hold none of the texts the interpretation knows, so they
    // also go their way through it, unchanged.
    if (burnTask_ && isFactLine(line)) {
        readFactLine(line, facts_);
        emit reports_.factReported(line);
    }
    // A question is no status: the tool waits for its answer.
    if (questionOf(line) == ToolQuestion::EraseDiscHoldingData) {
        answerEraseQuestion();
        return;
    }
    interpretOutput(line);
}

void BurnRun::answerEraseQuestion() {
    if (!burnTask_ || burnClosed_ || ignoreOutput_)
        return; // no burn waits for an answer
    const quint64 generation = burnGeneration_;
    // A copy: a burn started while the question is open has facts of its own.
    const ToolFacts disc = facts_;
    const bool erase = askToEraseDisc(alerts_, burner_.title, disc);
    // The question's event loop may have cancelled the burn, started
    // another one or seen the tool end.
    if (generation != burnGeneration_ || !burnTask_ || burnClosed_)
        return;
    burnTask_->sendString(eraseAnswer(erase));
    if (erase)
        emit reports_.eraseAgreed(disc.discHolds);
}

std::vector<InterpreterEffect>
BurnRun::checkedAgainstExpectedImage(std::vector<InterpreterEffect> effects) const {
    // A tool that reports no file-sha256 (macOS) leaves the result alone; the
    // receipt then claims no match.
    const QString& reported = facts_.fileSha256;
    if (expectedFileSha256_.isEmpty() || reported.isEmpty() ||
        reported.compare(expectedFileSha256_, Qt::CaseInsensitive) == 0)
        return effects;
    return failureEffects(QCoreApplication::translate(
        "BurnRun", "Burn failed - the image changed while it was burned: the disc does not hold "
                   "the image that matched its published checksum."));
}

void BurnRun::interpretOutput(const QString& line) {
    InterpreterInput input = client_.interpreterInput();
    input.ignoreOutput = ignoreOutput_;
    std::vector<InterpreterEffect> effects = interpretLine(line, input);
    if (closesBurn(effects)) {
        burnClosed_ = true;
        if (endsInSuccess(effects))
            effects = checkedAgainstExpectedImage(std::move(effects));
        if (endsInSuccess(effects))
            successPending_ = lastStatusOf(effects);
        else
            conclude(false, lastStatusOf(effects));
    }
    applyEffects(effects);
    if (refusesDisc(effects))
        emit reports_.discRefused(lastStatusOf(effects));
}

void BurnRun::applyEffects(const std::vector<InterpreterEffect>& effects) {
    const quint64 generation = burnGeneration_;
    for (const InterpreterEffect& effect : effects) {
        if (!took(effect))
            client_.applyEffect(effect);
        if (generation != burnGeneration_)
            return; // the burn this line belonged to is gone
    }
}

bool BurnRun::took(const InterpreterEffect& effect) {
    bool taken = true;
    std::visit(Overloaded{
                   [this](const effect::ShowStatus& e) { view_.showStatus(e.text); },
                   [this](const effect::ProgressIndeterminate&) { view_.showActivity(); },
                   [this](const effect::ProgressValue& e) {
                       view_.showProgress(e.fraction);
                       emit reports_.progressed(e.fraction);
                   },
                   [this](const effect::HideProgress&) { view_.hideProgress(); },
                   [this](const effect::SetIgnoreOutput&) { ignoreOutput_ = true; },
                   [&taken](const auto&) { taken = false; },
               },
               effect);
    return taken;
}

void BurnRun::conclude(bool succeeded, const QString& status) {
    emit reports_.ended(succeeded, status);
    client_.burnConcluded(succeeded);
}

void BurnRun::processExited(int waitStatus) {
    releaseBurner();
    const quint64 generation = burnGeneration_;
    // The tool's exit completes its output: a last line without its line end
    // still counts.
    outputBuffer_.finish(interpret_);
    if (generation != burnGeneration_)
        return;
    if (const std::optional<QString> success = std::exchange(successPending_, std::nullopt)) {
        if (WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0) {
            conclude(true, *success);
            return;
        }
        const std::vector<InterpreterEffect> failure = failureEffects(
            QCoreApplication::translate("BurnRun", "Burn failed - the disc-image tool ended with "
                                                   "%1 after it had reported success")
                .arg(exitDescription(waitStatus)));
        conclude(false, lastStatusOf(failure));
        applyEffects(failure);
        return;
    }
    if (burnClosed_ || ignoreOutput_)
        return;
    burnClosed_ = true;
    const QString how = exitDescription(waitStatus);
    const QString status =
        QCoreApplication::translate("BurnRun",
                                    "Burn failed - the disc-image tool stopped unexpectedly (%1)")
            .arg(how);
    conclude(false, status);
    view_.showStatus(status);
    client_.toolStoppedUnexpectedly(how);
}

void BurnRun::processFinished() {
    releaseBurner();
}

void BurnRun::releaseBurner() {
    if (!claimedDevice_.isEmpty())
        claims_.release(std::exchange(claimedDevice_, QString()), *this);
}

QString BurnRun::startingStatus() {
    return QCoreApplication::translate("BurnRun", "Please wait...");
}

QString BurnRun::imageMissingStatus() {
    return QCoreApplication::translate("BurnRun", "Burn failed - image file not found");
}

} // namespace emberlin
