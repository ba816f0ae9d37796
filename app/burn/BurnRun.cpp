#include "app/burn/BurnRun.h"

#include "app/burn/BurnerClaims.h"
#include "process/PtyOpener.h"
#include "tool/BurnCommand.h"
#include "tool/FactLine.h"

#include <QCoreApplication>
#include <algorithm>
#include <sys/wait.h>

namespace emberlin {

namespace {

bool succeeds(const std::vector<InterpreterEffect>& effects) {
    return std::any_of(effects.begin(), effects.end(), [](const InterpreterEffect& e) {
        return std::holds_alternative<effect::PlaySuccessSound>(e);
    });
}

QString lastStatusOf(const std::vector<InterpreterEffect>& effects) {
    QString status;
    for (const InterpreterEffect& e : effects) {
        if (const auto* shown = std::get_if<effect::ShowStatus>(&e))
            status = shown->text;
    }
    return status;
}

} // namespace

BurnRun::BurnRun(Client& client, BurnerClaims& claims)
    : client_(client)
    , claims_(claims)
    , interpret_([this](const QString& line) { takeLine(line); }) {}

BurnRun::~BurnRun() {
    burnTask_.reset();
    releaseBurner();
}

BurnRun::Launch BurnRun::start(const QString& toolPath, const QString& imagePath,
                               const BurnChoices& choices, const QString& device,
                               PtyOpener& ptyOpener) {
    releaseBurner();
    burnTask_.reset(new TaskWrapper(*this, burnArguments(toolPath, imagePath, choices, device)));
    ignoreOutput_ = false;
    burnClosed_ = false;
    posix::FileDescriptor masterFD;
    posix::FileDescriptor slaveFD;
    if (!ptyOpener.openRawPair(masterFD, slaveFD))
        return Launch::NoTerminal;
    if (!burnTask_->startProcess(std::move(masterFD), std::move(slaveFD)))
        return Launch::Failed;
    claimedDevice_ = device;
    claims_.claim(device, *this);
    return Launch::Started;
}

QString BurnRun::launchError() const {
    return burnTask_ ? burnTask_->launchError() : QString();
}

void BurnRun::discard() {
    ++burnGeneration_;
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
    if (burnTask_ && isFactLine(line))
        client_.factReported(line);
    interpretOutput(line);
}

void BurnRun::interpretOutput(const QString& line) {
    InterpreterInput input = client_.interpreterInput();
    input.ignoreOutput = ignoreOutput_;
    const std::vector<InterpreterEffect> effects = interpretLine(line, input);
    if (closesBurn(effects)) {
        burnClosed_ = true;
        client_.burnClosedByLine(succeeds(effects), lastStatusOf(effects));
    }
    const quint64 generation = burnGeneration_;
    for (const InterpreterEffect& effect : effects) {
        if (std::holds_alternative<effect::SetIgnoreOutput>(effect))
            ignoreOutput_ = true;
        else
            client_.applyEffect(effect);
        if (generation != burnGeneration_)
            return; // the burn this line belonged to is gone
    }
    if (refusesDisc(effects))
        client_.discRefusedByLine(lastStatusOf(effects));
}

void BurnRun::processExited(int waitStatus) {
    releaseBurner();
    const quint64 generation = burnGeneration_;
    // The tool's exit completes its output: a last line without its line end
    // still counts.
    outputBuffer_.finish(interpret_);
    if (generation != burnGeneration_ || burnClosed_ || ignoreOutput_)
        return;
    burnClosed_ = true;
    client_.toolStoppedUnexpectedly(waitStatus);
}

void BurnRun::processFinished() {
    releaseBurner();
}

void BurnRun::releaseBurner() {
    if (!claimedDevice_.isEmpty())
        claims_.release(std::exchange(claimedDevice_, QString()), *this);
}

QString BurnRun::exitDescription(int waitStatus) {
    return WIFSIGNALED(waitStatus)
               ? QCoreApplication::translate("BurnRun", "signal %1").arg(WTERMSIG(waitStatus))
               : QCoreApplication::translate("BurnRun", "exit status %1")
                     .arg(WEXITSTATUS(waitStatus));
}

} // namespace emberlin
