#include "app/records/BurnJournal.h"

#include "tool/BurnState.h"

#include <QFileInfo>
#include <utility>

namespace emberlin {

BurnJournal::BurnJournal(BurnClock clock, QObject* parent)
    : QObject(parent)
    , clock_(std::move(clock)) {
    connect(&digest_, &ImageDigest::computed, this, &BurnJournal::imageDigested);
}

void BurnJournal::burnStarted(const QString& imagePath, const QString& burnerTitle,
                              const BurnChoices& choices) {
    digest_.cancel();
    record_ = {};
    record_.imagePath = imagePath;
    record_.imageBytes = QFileInfo(imagePath).size();
    record_.burnerTitle = burnerTitle;
    record_.choices = choices;
    record_.started = clock_();
    running_ = true;
    setReceiptReady(false);
}

void BurnJournal::checksumChecked(const ChecksumCheck& check) {
    record_.checksum = check;
}

void BurnJournal::burnStateChanged(BurnState burnState) {
    if (!running_)
        return;
    if (!record_.phases.empty() && record_.phases.back().burnState == burnState)
        return;
    endPhase();
    if (burnWriting(burnState))
        record_.phases.push_back({burnState, clock_(), {}});
}

void BurnJournal::endPhase() {
    if (!record_.phases.empty() && !record_.phases.back().end.isValid())
        record_.phases.back().end = clock_();
}

void BurnJournal::burnFactReported(const QString& line) {
    // Also after the end: the read-back digest may come last.
    readFactLine(line, record_.facts);
}

void BurnJournal::discEraseAgreed(const QString& discHolds) {
    if (running_)
        record_.erasedDiscHeld = discHolds;
}

void BurnJournal::burnEnded(bool succeeded, const QString& status) {
    if (!running_)
        return;
    running_ = false;
    endPhase();
    record_.ended = true;
    record_.succeeded = succeeded;
    record_.status = status;
    record_.endedAt = clock_();
    if (record_.facts.imageSha256.isEmpty())
        digest_.start(record_.imagePath);
    else
        setReceiptReady(true);
}

void BurnJournal::stop() {
    digest_.cancel();
}

void BurnJournal::imageDigested(const QString& path, const QString& sha256) {
    if (path != record_.imagePath || running_)
        return;
    record_.computedImageSha256 = sha256;
    setReceiptReady(true);
}

void BurnJournal::setReceiptReady(bool ready) {
    if (std::exchange(receiptReady_, ready) != ready)
        emit receiptReadyChanged(ready);
}

} // namespace emberlin
