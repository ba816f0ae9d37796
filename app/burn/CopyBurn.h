#pragma once

#include "app/burn/BurnRun.h"
#include "app/burn/Burner.h"
#include "app/burn/JobProgressLine.h"
#include "app/records/BurnClock.h"
#include "tool/BurnCommand.h"
#include "tool/BurnState.h"

#include <QObject>
#include <QPointer>
#include <optional>

namespace emberlin {

class Alerts;
class BurnJournal;
class BurnerClaims;
class CopyBurnerRow;
class PtyOpener;

// One burner's part in a copy burn: its own run of the tool, its burn state,
// what its row shows of each line, its speed and time left, and the journal
// kept for its receipt, the last two following the run's reports. The row
// tells the story of the burn as the main window tells that of a single burn,
// but opens no alert (the row keeps the text) other than the question before
// erasing its disc, and leaves the sound of the burn's end to the copy burn as
// a whole.
class CopyBurn final : public QObject, private BurnRun::Client {
    Q_OBJECT

public:
    CopyBurn(CopyBurnerRow& row, const Burner& burner, BurnerClaims& claims, Alerts& alerts,
             SteadyClock clock, QObject* parent = nullptr);

    const Burner& burner() const { return burner_; }
    void setBurner(const Burner& burner);
    CopyBurnerRow& row() const { return row_; }
    const BurnRun& run() const { return run_; }
    BurnReports& reports() { return run_.reports(); }

    // A new burn of the image to this burner, recorded in the journal, with
    // the published checksum it was compared with, if any.
    void start(const QString& toolPath, const QString& imagePath, const BurnChoices& choices,
               PtyOpener& ptyOpener, BurnJournal& journal,
               const std::optional<ChecksumCheck>& checksum);
    // The row's Cancel: only while the burn waits for a disc.
    void cancel();
    // The application ends: the tool is stopped.
    void stop();

    BurnState burnState() const { return burnState_; }
    bool hasEnded() const { return ended_; }
    bool succeeded() const { return succeeded_; }
    // The share of the burn's bytes done: the write's, then the verify's; all
    // of them once the burn has ended, however it ended.
    double shareDone() const;

signals:
    void ended();
    // The burn's state or progress moved.
    void progressed();
    // A line asks the user for another disc, with the failure sound.
    void attentionNeeded();

private:
    // BurnRun::Client
    InterpreterInput interpreterInput() const override;
    void applyEffect(const InterpreterEffect& effect) override;
    void burnConcluded(bool succeeded) override;
    void toolStoppedUnexpectedly(const QString& how) override;

    void setBurnState(BurnState burnState);
    void end(bool succeeded);

    CopyBurnerRow& row_;
    Burner burner_;
    BurnRun run_;
    JobProgressLine jobProgressLine_;
    // The journal of the burn, attached to the reports until the next one.
    QPointer<BurnJournal> journal_;
    BurnChoices choices_;
    BurnState burnState_ = BurnStateReady;
    // The bar's value in this phase, 0 to 1.
    double fraction_ = 0;
    bool ended_ = false;
    bool succeeded_ = false;
};

} // namespace emberlin
