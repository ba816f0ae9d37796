#pragma once

#include "app/records/BurnClock.h"
#include "app/records/BurnRecord.h"
#include "app/records/ImageDigest.h"
#include "tool/BurnState.h"

#include <QObject>

namespace emberlin {

// Keeps the record of the latest burn for its receipt: what was burned
// where, how, each phase's times, the tool's facts and how it ended. Where
// the tool reported no SHA-256 of the image, it has the image's computed
// once the burn has ended; the receipt exists from then on.
class BurnJournal final : public QObject {
    Q_OBJECT

public:
    BurnJournal(BurnClock clock, QObject* parent = nullptr);

    const BurnRecord& record() const { return record_; }
    bool receiptReady() const { return receiptReady_; }

    void burnStarted(const QString& imagePath, const QString& burnerTitle,
                     const BurnChoices& choices);
    void checksumChecked(const ChecksumCheck& check);
    void burnStateChanged(BurnState burnState);
    void burnFactReported(const QString& line);
    // The person chose to erase the disc, which held what discHolds tells.
    void discEraseAgreed(const QString& discHolds);
    void burnEnded(bool succeeded, const QString& status);
    // The app is ending: nothing more is computed.
    void stop();

signals:
    void receiptReadyChanged(bool ready);

private:
    void endPhase();
    void imageDigested(const QString& path, const QString& sha256);
    void setReceiptReady(bool ready);

    BurnClock clock_;
    BurnRecord record_;
    bool running_ = false;
    bool receiptReady_ = false;
    ImageDigest digest_;
};

} // namespace emberlin
