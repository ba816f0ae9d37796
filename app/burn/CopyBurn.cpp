#include "app/burn/CopyBurn.h"

#include "app/burn/Overloaded.h"
#include "app/records/BurnJournal.h"
#include "views/CopyBurnerRow.h"

#include <algorithm>
#include <cmath>

namespace emberlin {

CopyBurn::CopyBurn(CopyBurnerRow& row, const Burner& burner, BurnerClaims& claims, Alerts& alerts,
                   SteadyClock clock, QObject* parent)
    : QObject(parent)
    , row_(row)
    , burner_(burner)
    , run_(*this, row, claims, alerts)
    , jobProgressLine_([&row](const QString& text) { row.showJobProgress(text); },
                       std::move(clock)) {
    reports().attach(jobProgressLine_);
    connect(&reports(), &BurnReports::progressed, this, [this](double fraction) {
        fraction_ = std::isnan(fraction) ? 0 : std::clamp(fraction, 0.0, 1.0);
        emit progressed();
    });
}

void CopyBurn::setBurner(const Burner& burner) {
    burner_ = burner;
    row_.setTitle(burner.title);
}

void CopyBurn::start(const QString& toolPath, const QString& imagePath, const BurnChoices& choices,
                     PtyOpener& ptyOpener, BurnJournal& journal,
                     const std::optional<ChecksumCheck>& checksum) {
    run_.discard();
    if (journal_)
        reports().detach(*journal_);
    journal_ = &journal;
    reports().attach(journal);
    choices_ = choices;
    ended_ = false;
    succeeded_ = false;
    row_.showStatus(BurnRun::startingStatus());
    setBurnState(BurnStateReady);
    const BurnRun::Launch launch =
        run_.start(toolPath, imagePath, choices, burner_, ptyOpener, checksum);
    if (launch == BurnRun::Launch::Started)
        return;
    row_.showStatus(run_.launchFailureStatus(launch));
    run_.discard();
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
                   [this](const effect::SetBurnState& e) { setBurnState(e.state); },
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

void CopyBurn::burnConcluded(bool succeeded) {
    end(succeeded);
}

void CopyBurn::toolStoppedUnexpectedly(const QString& /*how*/) {
    setBurnState(BurnStateReady);
}

void CopyBurn::setBurnState(BurnState burnState) {
    if (burnState != burnState_)
        fraction_ = 0;
    burnState_ = burnState;
    row_.gate(burnState);
    emit reports().stateChanged(burnState);
    emit progressed();
}

void CopyBurn::end(bool succeeded) {
    ended_ = true;
    succeeded_ = succeeded;
    emit ended();
}

} // namespace emberlin
