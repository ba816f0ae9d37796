#include "app/burn/CopyBurnController.h"

#include "app/burn/BurnerClaims.h"
#include "app/burn/Preferences.h"
#include "app/burn/Sounds.h"
#include "app/records/ReceiptFile.h"
#include "tool/BurnState.h"
#include "views/CopiesWindow.h"
#include "views/CopyBurnerRow.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace emberlin {

namespace {

QString summaryOf(int succeeded, int total, bool verified) {
    if (total == 1)
        return verified ? CopyBurnController::tr("%1 of 1 disc burned and verified").arg(succeeded)
                        : CopyBurnController::tr("%1 of 1 disc burned").arg(succeeded);
    return verified ? CopyBurnController::tr("%1 of %2 discs burned and verified")
                          .arg(succeeded)
                          .arg(total)
                    : CopyBurnController::tr("%1 of %2 discs burned").arg(succeeded).arg(total);
}

} // namespace

CopyBurnController::CopyBurnController(CopiesWindow& window, const Services& services,
                                       QObject* parent)
    : QObject(parent)
    , window_(window)
    , alerts_(services.alerts)
    , sounds_(services.sounds)
    , ptyOpener_(services.ptyOpener)
    , claims_(services.burnerClaims)
    , toolPath_(services.toolPath)
    , clock_(services.clock)
    , steadyClock_(services.steadyClock)
    , successSound_(services.sounds.soundNamed(Sounds::successName))
    , failureSound_(services.sounds.soundNamed(Sounds::failureName)) {
    window_.setChoices(Preferences(services.settingsStore).load());
    connect(&window_, &CopiesWindow::imageChosen, this, &CopyBurnController::chooseImage);
    connect(&window_, &CopiesWindow::burnClicked, this, &CopyBurnController::burn);
    connect(&window_, &CopiesWindow::saveReceiptsClicked, this, &CopyBurnController::saveReceipts);
    connect(&claims_, &BurnerClaims::changed, this, &CopyBurnController::refresh);
    connect(&checksumGate_, &ChecksumGate::compared, this, &CopyBurnController::checksumCompared);
    refresh();
}

CopyBurnController::~CopyBurnController() {
    // The copies release their burners as they go.
    disconnect(&claims_, nullptr, this, nullptr);
}

void CopyBurnController::open(const QString& mainImagePath) {
    if (!running_ && window_.isHidden() && !mainImagePath.isEmpty())
        chooseImage(mainImagePath);
    window_.show();
    window_.raise();
    window_.activateWindow();
}

void CopyBurnController::chooseImage(const QString& path) {
    if (running_ || checksumGate_.running() || path.isEmpty())
        return;
    imagePath_ = QFileInfo(path).absoluteFilePath();
    window_.showImage(QFileInfo(QDir::cleanPath(imagePath_)).fileName());
    refresh();
}

void CopyBurnController::setBurners(const std::vector<Burner>& burners) {
    if (running_)
        pendingBurners_ = burners;
    else
        applyBurners(burners);
}

void CopyBurnController::applyBurners(const std::vector<Burner>& burners) {
    std::vector<std::unique_ptr<CopyBurn>> listed;
    std::vector<CopyBurnerRow*> rows;
    for (const Burner& burner : burners) {
        const auto known = std::find_if(copies_.begin(), copies_.end(), [&](const auto& copy) {
            return copy && copy->burner().device == burner.device;
        });
        if (known != copies_.end()) {
            listed.push_back(std::move(*known));
            listed.back()->setBurner(burner);
        } else {
            CopyBurnerRow* row = window_.addBurnerRow(burner.title);
            listed.push_back(
                std::make_unique<CopyBurn>(*row, burner, claims_, alerts_, steadyClock_));
            CopyBurn* copy = listed.back().get();
            connect(row, &CopyBurnerRow::checkedChanged, this, &CopyBurnController::refresh);
            connect(row, &CopyBurnerRow::cancelClicked, copy, &CopyBurn::cancel);
            connect(copy, &CopyBurn::progressed, this, &CopyBurnController::copyProgressed);
            connect(copy, &CopyBurn::ended, this, &CopyBurnController::copyEnded);
            connect(copy, &CopyBurn::attentionNeeded, this,
                    [this] { sounds_.play(failureSound_); });
            connect(&copy->reports(), &BurnReports::stateChanged, this,
                    [this, copy](BurnState burnState) {
                        emit copyBurnStateChanged(copy->burner().device, copy->burner().title,
                                                  burnState);
                    });
            connect(&copy->reports(), &BurnReports::discRefused, this,
                    [this, copy](const QString& status) {
                        emit copyDiscRefused(copy->burner().device, status);
                    });
        }
        rows.push_back(&listed.back()->row());
    }
    // The copies that are no longer listed go before their rows.
    std::exchange(copies_, std::move(listed)).clear();
    window_.keepBurnerRows(rows);
    refresh();
}

bool CopyBurnController::offered(const CopyBurn& copy) const {
    const BurnRun* holder = claims_.holderOf(copy.burner().device);
    return holder == nullptr || holder == &copy.run();
}

void CopyBurnController::refresh() {
    bool anyChosen = false;
    for (const auto& copy : copies_) {
        const bool free = offered(*copy);
        copy->row().setCheckable(free && !running_);
        copy->row().showNote(free ? QString() : tr("In use by the main window's burn"));
        anyChosen = anyChosen || (free && copy->row().isChecked());
    }
    window_.gate(running_ || checksumGate_.running(), anyChosen && !imagePath_.isEmpty());
}

void CopyBurnController::burn() {
    if (running_ || checksumGate_.running() || imagePath_.isEmpty())
        return;
    if (!QFileInfo::exists(imagePath_)) {
        window_.showSummary(BurnRun::imageMissingStatus());
        sounds_.play(failureSound_);
        return;
    }
    // Nothing is written before a published checksum was compared.
    if (checksumGate_.start(imagePath_)) {
        window_.showSummary(checkingStatus(imagePath_, checksumGate_.fileName()));
        refresh();
        return;
    }
    startCopies(std::nullopt);
}

void CopyBurnController::checksumCompared(const ChecksumComparison& comparison) {
    refresh();
    if (running_ || comparison.imagePath != imagePath_)
        return;
    if (comparison.sha256.isEmpty()) {
        startCopies(std::nullopt); // unreadable: each tool says why
        return;
    }
    if (comparison.matches) {
        startCopies(comparison.record(false));
        return;
    }
    const bool burnAnyway = askBurnAnyway(alerts_, comparison);
    if (running_ || checksumGate_.running())
        return; // something else began while the alert was open
    if (burnAnyway) {
        startCopies(comparison.record(true));
        return;
    }
    window_.showSummary(notBurnedStatus(comparison));
    sounds_.play(failureSound_);
}

void CopyBurnController::startCopies(const std::optional<ChecksumCheck>& checksum) {
    participants_.clear();
    for (const auto& copy : copies_) {
        if (offered(*copy) && copy->row().isChecked())
            participants_.push_back(copy.get());
    }
    if (participants_.empty())
        return;
    const BurnChoices choices = window_.choices();
    verifying_ = choices.verify;
    running_ = true;
    starting_ = true;
    window_.showSummary(QString());
    refresh();
    emit runningChanged(true);
    emit burnStateChanged(BurnStateBurning);
    emit copiesStarted(imagePath_);
    // The last burn's journals go once every copy has its new one.
    std::vector<std::unique_ptr<BurnJournal>> journals;
    for (CopyBurn* copy : participants_) {
        journals.push_back(std::make_unique<BurnJournal>(clock_));
        connect(journals.back().get(), &BurnJournal::receiptReadyChanged, this,
                &CopyBurnController::refreshReceipts);
        copy->start(toolPath_, imagePath_, choices, ptyOpener_, *journals.back(), checksum);
    }
    journals_ = std::move(journals);
    refreshReceipts();
    starting_ = false;
    copyEnded();
}

bool CopyBurnController::writing() const {
    return std::any_of(participants_.begin(), participants_.end(), [](const CopyBurn* copy) {
        return !copy->hasEnded() && burnWriting(copy->burnState());
    });
}

void CopyBurnController::copyProgressed() {
    if (!running_ || participants_.empty())
        return;
    double done = 0;
    for (const CopyBurn* copy : participants_)
        done += copy->shareDone();
    emit burnProgressed(done / static_cast<double>(participants_.size()));
}

void CopyBurnController::copyEnded() {
    if (!running_ || starting_)
        return;
    copyProgressed();
    if (std::all_of(participants_.begin(), participants_.end(),
                    [](const CopyBurn* copy) { return copy->hasEnded(); }))
        finish();
}

void CopyBurnController::finish() {
    const auto succeeded = std::count_if(participants_.begin(), participants_.end(),
                                         [](const CopyBurn* copy) { return copy->succeeded(); });
    const auto total = static_cast<qsizetype>(participants_.size());
    const QString summary =
        summaryOf(static_cast<int>(succeeded), static_cast<int>(total), verifying_);
    running_ = false;
    participants_.clear();
    window_.showSummary(summary);
    sounds_.play(succeeded == total ? successSound_ : failureSound_);
    // Not from inside the last copy's line, whose copy the new list may drop.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (pendingBurners_ && !running_)
                applyBurners(*std::exchange(pendingBurners_, std::nullopt));
        },
        Qt::QueuedConnection);
    refresh();
    refreshReceipts();
    emit burnEnded(succeeded == total, summary);
    emit burnStateChanged(BurnStateReady);
    emit runningChanged(false);
}

void CopyBurnController::refreshReceipts() {
    bool anyEnded = false;
    bool allReady = true;
    for (const auto& journal : journals_) {
        anyEnded = anyEnded || journal->record().ended;
        allReady = allReady && (!journal->record().ended || journal->receiptReady());
    }
    window_.setReceiptsAvailable(!running_ && anyEnded && allReady);
}

std::vector<BurnRecord> CopyBurnController::receipts() const {
    std::vector<BurnRecord> records;
    for (const auto& journal : journals_) {
        if (journal->receiptReady())
            records.push_back(journal->record());
    }
    return records;
}

void CopyBurnController::saveReceipts() {
    const std::vector<BurnRecord> records = receipts();
    if (running_ || records.empty())
        return;
    const QString path = window_.askReceiptsPath(suggestedReceiptsPath(records.front().imagePath));
    if (!path.isEmpty())
        saveBurnReceipts(records, path, alerts_);
}

void CopyBurnController::stop() {
    checksumGate_.cancel();
    for (const auto& copy : copies_)
        copy->stop();
    for (const auto& journal : journals_)
        journal->stop();
}

} // namespace emberlin
