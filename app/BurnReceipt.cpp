#include "BurnRecord.h"
#include "BurnState.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

namespace emberlin {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("BurnReceipt", text);
}

QString timeText(const QDateTime& time) {
    // With its offset from UTC, so the receipt says when wherever it is read.
    return time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate)
                          : tr("unknown");
}

QString phaseName(int burnState) {
    switch (burnState) {
    case BurnStateErasing:
        return tr("Erasing");
    case BurnStateBurning:
        return tr("Burning");
    default:
        return tr("Verifying");
    }
}

QString yesNo(bool on) {
    return on ? tr("yes") : tr("no");
}

QString verifyText(const BurnRecord& record, const QString& imageSha256) {
    if (!record.choices.verify)
        return tr("Verify: not done (the option was off)");
    const bool verifyRan =
        std::any_of(record.phases.begin(), record.phases.end(), [](const BurnRecord::Phase& phase) {
            return phase.burnState == BurnStateVerifying;
        });
    if (!verifyRan)
        return tr("Verify: not done (the burn ended before it)");
    const QString& readback = record.facts.readbackSha256;
    if (readback.isEmpty() && !record.succeeded)
        return tr("Verify: did not complete");
    if (readback.isEmpty())
        return tr("Verify: completed, but the tool reported no SHA-256 of what it read back");
    QString text = tr("Read-back SHA-256: %1").arg(readback) + u'\n';
    if (imageSha256.isEmpty())
        return text +
               tr("Whether it equals the image's is unknown: the image's SHA-256 is missing");
    return text +
           (readback.compare(imageSha256, Qt::CaseInsensitive) == 0
                ? tr("It equals the image's SHA-256: the disc holds exactly the image.")
                : tr("It DIFFERS from the image's SHA-256: the disc does not hold the image."));
}

} // namespace

QString composeBurnReceipt(const BurnRecord& record) {
    const QString imageSha256 =
        !record.facts.imageSha256.isEmpty() ? record.facts.imageSha256 : record.computedImageSha256;
    const BurnChoices& choices = record.choices;
    QStringList lines{
        tr("Emberlin burn receipt"),
        QString(),
        tr("Image: %1").arg(record.imagePath),
        tr("Size: %1 bytes").arg(record.imageBytes),
        tr("Image SHA-256: %1").arg(imageSha256.isEmpty() ? tr("unknown") : imageSha256),
        tr("Burner: %1").arg(record.burnerTitle.trimmed()),
        tr("Medium: %1").arg(record.facts.medium.isEmpty() ? tr("unknown") : record.facts.medium),
        tr("Options: leave appendable %1, verify %2, erase first %3")
            .arg(yesNo(choices.leaveAppendable), yesNo(choices.verify), yesNo(choices.erase)),
        tr("Speed set: %1").arg(choices.speedTitle),
        QString(),
        tr("Started: %1").arg(timeText(record.started)),
    };
    if (!record.matchedChecksumFile.isEmpty()) // below the image's SHA-256
        lines.insert(5,
                     tr("It matches the SHA-256 published in %1.").arg(record.matchedChecksumFile));
    for (const BurnRecord::Phase& phase : record.phases)
        lines.append(
            tr("%1: %2 to %3")
                .arg(phaseName(phase.burnState), timeText(phase.start), timeText(phase.end)));
    lines.append(tr("Ended: %1").arg(timeText(record.endedAt)));
    lines.append(QString());
    lines.append((record.succeeded ? tr("Result: succeeded") : tr("Result: failed")) + u'\n' +
                 tr("Status: %1").arg(record.status));
    lines.append(verifyText(record, imageSha256));
    return lines.join(u'\n') + u'\n';
}

} // namespace emberlin
