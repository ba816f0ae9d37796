#include "app/burn/CopyBurn.h"

#include "app/burn/EraseQuestion.h"
#include "app/burn/Overloaded.h"
#include "views/CopyBurnerRow.h"

#include <algorithm>
#include <cmath>

namespace emberlin {

CopyBurn::CopyBurn(CopyBurnerRow& row, const Burner& burner, BurnerClaims& claims, Alerts& alerts,
                   SteadyClock clock, QObject* parent)
    : QObject(parent)
    , row_(row)
    , burner_(burner)
    , alerts_(alerts)
    , run_(*this, claims)
    , jobProgressLine_([&row](const QString& text) { row.showJobProgress(text); },
                       std::move(clock)) {}

void CopyBurn::setBurner(const Burner& burner) {
    burner_ = burner;
    row_.setTitle(burner.title);
}

void CopyBurn::start(const QString& toolPath, const QString& imagePath, const BurnChoices& choices,
                     PtyOpener& ptyOpener, BurnJournal& journal,
                     const std::optional<ChecksumCheck>& checksum) {
    run_.discard();
    journal_ = &journal;
    choices_ = choices;
    ended_ = false;
    succeeded_ = false;
    row_.showStatus(tr("Please wait..."));
    setBurnState(BurnStateReady);
    // The tool must burn the very bytes that matched.
    const QString expectedFileSha256 =
        checksum && !checksum->burnedAnyway ? checksum->fileSha256 : QString();
    switch (
        run_.start(toolPath, imagePath, choices, burner_.device, ptyOpener, expectedFileSha256)) {
    case BurnRun::Launch::Started:
        journal.burnStarted(imagePath, burner_.title, choices);
        if (checksum)
            journal.checksumChecked(*checksum);
        jobProgressLine_.burnStarted(imagePath, burner_.title, choices);
        return;
    case BurnRun::Launch::NoTerminal:
        failWithoutTool(tr("Burn failed - no pseudo-terminal could be opened for the "
                           "disc-image tool"));
        return;
    case BurnRun::Launch::Failed:
        failWithoutTool(tr("Burn failed - the disc-image tool could not be started (%1: %2)")
                            .arg(toolPath, run_.launchError()));
        return;
    }
}

void CopyBurn::failWithoutTool(const QString& status) {
    run_.discard();
    row_.showStatus(status);
    end(false);
}

void CopyBurn::cancel() {
    if (!burnCancellable(burnState_))
        return;
    row_.showStatus(tr("Burn cancelled."));
    setBurnState(BurnStateReady);
    run_.discard();
    end(false);
}

void CopyBurn::stop() {
    run_.discard();
}

double CopyBurn::shareDone() const {
    if (ended_)
        return 1;
    const double writeShare = choices_.verify ? 0.5 : 1;
    switch (burnState_) {
    case BurnStateBurning:
        return writeShare * fraction_;
    case BurnStateVerifying:
        return writeShare + (1 - writeShare) * fraction_;
    default:
        return 0;
    }
}

InterpreterInput CopyBurn::interpreterInput() const {
    return {burnState_, false, choices_.erase, false};
}

void CopyBurn::applyEffect(const InterpreterEffect& effect) {
    std::visit(Overloaded{
                   [this](const effect::ShowStatus& e) { row_.showStatus(e.text); },
                   [this](const effect::SetBurnState& e) { setBurnState(e.state); },
                   [this](const effect::ProgressIndeterminate&) { row_.showActivity(); },
                   [this](const effect::ProgressValue& e) {
                       row_.showProgress(e.fraction);
                       jobProgressLine_.burnProgressed(e.fraction);
                       fraction_ = std::isnan(e.fraction) ? 0 : std::clamp(e.fraction, 0.0, 1.0);
                       emit progressed();
                   },
                   [this](const effect::HideProgress&) { row_.hideProgress(); },
                   [this](const effect::PlayFailureSound&) {
                       if (!run_.burnClosed())
                           emit attentionNeeded();
                   },
                   // The burner is gone: the main window would list the
                   // burners again and be back in Ready.
                   [this](const effect::ScheduleRescan&) { setBurnState(BurnStateReady); },
                   // The end's sound belongs to the copy burn as a whole, the
                   // row keeps an alert's text, and listing effects do not
                   // arise in a burn.
                   [](const auto&) {},
               },
               effect);
}

void CopyBurn::factReported(const QString& line) {
    jobProgressLine_.burnFactReported(line);
    if (journal_)
        journal_->burnFactReported(line);
}

void CopyBurn::burnConcluded(bool succeeded, const QString& status) {
    if (journal_)
        journal_->burnEnded(succeeded, status);
    end(succeeded);
}

bool CopyBurn::eraseAsked(const ToolFacts& disc) {
    return askToEraseDisc(alerts_, burner_.title, disc);
}

void CopyBurn::eraseAgreed(const ToolFacts& disc) {
    if (journal_)
        journal_->discEraseAgreed(disc.discHolds);
}

void CopyBurn::toolStoppedUnexpectedly(int waitStatus) {
    const QString status = tr("Burn failed - the disc-image tool stopped unexpectedly (%1)")
                               .arg(BurnRun::exitDescription(waitStatus));
    row_.showStatus(status);
    setBurnState(BurnStateReady);
    if (journal_)
        journal_->burnEnded(false, status);
    end(false);
}

void CopyBurn::setBurnState(BurnState burnState) {
    if (burnState != burnState_)
        fraction_ = 0;
    burnState_ = burnState;
    row_.gate(burnState);
    jobProgressLine_.burnStateChanged(burnState);
    if (journal_)
        journal_->burnStateChanged(burnState);
    emit burnStateChanged(burnState);
    emit progressed();
}

void CopyBurn::end(bool succeeded) {
    ended_ = true;
    succeeded_ = succeeded;
    emit ended();
}

} // namespace emberlin
