#include "app/records/BurnReceipt.h"

#include "tool/BurnState.h"
#include "tool/ProtocolText.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

namespace emberlin {

namespace {

// The receipt's texts, in the user's language like everything the window
// shows: the status line is the window's own sentence, and what others
// compare (digests, sizes, UTC times, the medium) reads the same in any.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(BurnReceipt)
};

// Writes what came from outside (a path, a burner's title, the tool's words)
// so that it cannot start a line of its own nor reorder what follows: a
// backslash as \\, tab, line feed and carriage return as \t, \n and \r, other
// control characters as \xNN, line and paragraph separators and the
// characters that turn the direction of text as \uNNNN.
QString escaped(const QString& field) {
    QString text;
    text.reserve(field.size());
    for (const QChar c : field) {
        const char16_t code = c.unicode();
        const bool turnsDirection = code == 0x061c || code == 0x200e || code == 0x200f ||
                                    (code >= 0x202a && code <= 0x202e) ||
                                    (code >= 0x2066 && code <= 0x2069);
        if (code == u'\\')
            text += u"\\\\";
        else if (code == u'\t')
            text += u"\\t";
        else if (code == u'\n')
            text += u"\\n";
        else if (code == u'\r')
            text += u"\\r";
        else if (c.category() == QChar::Other_Control)
            text += QStringLiteral("\\x%1").arg(code, 2, 16, QChar(u'0'));
        else if (c.category() == QChar::Separator_Line ||
                 c.category() == QChar::Separator_Paragraph || turnsDirection)
            text += QStringLiteral("\\u%1").arg(code, 4, 16, QChar(u'0'));
        else
            text += c;
    }
    return text;
}

QString orUnknown(const QString& field) {
    return field.isEmpty() ? Text::tr("unknown") : escaped(field);
}

QString timeText(const QDateTime& time) {
    // With its offset from UTC, so the receipt says when wherever it is read.
    return time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate)
                          : Text::tr("unknown");
}

QString phaseName(BurnState burnState) {
    switch (burnState) {
    case BurnStateErasing:
        return Text::tr("Erasing");
    case BurnStateBurning:
        return Text::tr("Burning");
    default:
        return Text::tr("Verifying");
    }
}

QString yesNo(bool on) {
    return on ? Text::tr("yes") : Text::tr("no");
}

// What equal digests prove: only a burn that succeeded, verified by a read
// of the disc itself, holds exactly the image.
QString equalDigestsClaim(const BurnRecord& record) {
    if (!record.succeeded)
        return Text::tr("It equals the image's SHA-256, but the burn failed after the verify: "
                        "the disc may not hold the image.");
    if (record.facts.readbackFrom == qtText(toolprotocol::readbackFromCacheOrDisc))
        return Text::tr("It equals the image's SHA-256: the drive returned the image's bytes, "
                        "but it could not be made to read the disc anew, so they may have come "
                        "from its cache.");
    if (record.facts.readbackFrom != qtText(toolprotocol::readbackFromDisc))
        return Text::tr("It equals the image's SHA-256: the drive returned the image's bytes, "
                        "but the tool did not say whether it read them from the disc or from "
                        "its cache.");
    return Text::tr("It equals the image's SHA-256: the disc holds exactly the image.");
}

// A published checksum is matched by what was burned only where the tool
// read the very bytes that matched it.
QString checksumText(const BurnRecord& record) {
    const ChecksumCheck& check = *record.checksum;
    const QString file = escaped(check.fileName);
    if (check.burnedAnyway)
        return Text::tr("It does NOT match the %1 published in %2: burned anyway, as the "
                        "person chose.")
            .arg(check.algorithm, file);
    const QString& burned = record.facts.fileSha256;
    if (burned.isEmpty())
        return Text::tr("It matched the %1 published in %2 before the burn; the tool did "
                        "not report what it read.")
            .arg(check.algorithm, file);
    if (burned.compare(check.fileSha256, Qt::CaseInsensitive) != 0)
        return Text::tr("It CHANGED while it was burned: what the tool read does not match the "
                        "%1 published in %2.")
            .arg(check.algorithm, file);
    return Text::tr("It matches the %1 published in %2.").arg(check.algorithm, file);
}

bool reached(const BurnRecord& record, BurnState burnState) {
    return std::any_of(
        record.phases.begin(), record.phases.end(),
        [burnState](const BurnRecord::Phase& phase) { return phase.burnState == burnState; });
}

QString verifyText(const BurnRecord& record, const QString& imageSha256) {
    if (!record.choices.verify)
        return Text::tr("Verify: not done (the option was off)");
    if (!reached(record, BurnStateVerifying))
        return Text::tr("Verify: not done (the burn ended before it)");
    const QString& readback = record.facts.readbackSha256;
    if (readback.isEmpty() && !record.succeeded)
        return Text::tr("Verify: did not complete");
    if (readback.isEmpty())
        return Text::tr("Verify: completed, but the tool reported no SHA-256 of what it read back");
    QString text = Text::tr("Read-back SHA-256: %1").arg(escaped(readback)) + u'\n';
    if (imageSha256.isEmpty())
        return text +
               Text::tr("Whether it equals the image's is unknown: the image's SHA-256 is missing");
    return text + (readback.compare(imageSha256, Qt::CaseInsensitive) == 0
                       ? equalDigestsClaim(record)
                       : Text::tr("It DIFFERS from the image's SHA-256: the disc does not hold "
                                  "the image."));
}

} // namespace

QString composeBurnReceipt(const BurnRecord& record) {
    const QString imageSha256 =
        !record.facts.imageSha256.isEmpty() ? record.facts.imageSha256 : record.computedImageSha256;
    const BurnChoices& choices = record.choices;
    QStringList lines{
        Text::tr("Emberlin burn receipt"),
        QString(),
        Text::tr("Image: %1").arg(escaped(record.imagePath)),
        Text::tr("Size: %1 bytes").arg(record.imageBytes),
        Text::tr("Image SHA-256: %1").arg(orUnknown(imageSha256)),
        Text::tr("Burner: %1").arg(escaped(record.burnerTitle.trimmed())),
        Text::tr("Medium: %1").arg(orUnknown(record.facts.medium)),
        Text::tr("Options: leave appendable %1, verify %2, erase first %3")
            .arg(yesNo(choices.leaveAppendable), yesNo(choices.verify), yesNo(choices.erase)),
        Text::tr("Speed set: %1").arg(escaped(choices.speedTitle)),
        QString(),
        Text::tr("Started: %1").arg(timeText(record.started)),
    };
    // A file that wraps its disc image (an Apple .dmg) has a digest of its
    // own, which a download's checksum names: both are told apart.
    const QString& fileSha256 = record.facts.fileSha256;
    const bool wrapped =
        !fileSha256.isEmpty() && fileSha256.compare(imageSha256, Qt::CaseInsensitive) != 0;
    if (wrapped)
        lines.replace(
            4, Text::tr("File SHA-256 (as sha256sum prints it): %1").arg(escaped(fileSha256)));
    qsizetype below = 5; // the file's SHA-256
    if (record.checksum)
        lines.insert(below++, checksumText(record));
    if (wrapped)
        lines.insert(below, Text::tr("SHA-256 of the disc image it holds, burned to the disc: %1")
                                .arg(orUnknown(imageSha256)));
    for (const BurnRecord::Phase& phase : record.phases)
        lines.append(
            Text::tr("%1: %2 to %3")
                .arg(phaseName(phase.burnState), timeText(phase.start), timeText(phase.end)));
    // Only a write that followed tells that the erase was done.
    if (!record.facts.erase.isEmpty() && !record.erasedDiscHeld.isEmpty() &&
        reached(record, BurnStateBurning))
        lines.append(Text::tr("Erased before burning: %1").arg(escaped(record.erasedDiscHeld)));
    lines.append(Text::tr("Ended: %1").arg(timeText(record.endedAt)));
    lines.append(QString());
    lines.append(record.succeeded ? Text::tr("Result: succeeded") : Text::tr("Result: failed"));
    lines.append(Text::tr("Status: %1").arg(escaped(record.status)));
    lines.append(verifyText(record, imageSha256));
    return lines.join(u'\n') + u'\n';
}

} // namespace emberlin
