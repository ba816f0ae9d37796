#include "app/burn/PublishedChecksum.h"

#include <QRegularExpression>
#include <QStringList>

namespace emberlin {

namespace {

const auto signedHeader = QStringLiteral("-----BEGIN PGP SIGNED MESSAGE-----");
const auto signatureStart = QStringLiteral("-----BEGIN PGP SIGNATURE-----");

// The signed text of a clear-signed message: after its armor headers, before
// its signature, dash-escaped lines restored.
QStringList signedLines(const QStringList& lines) {
    QStringList body;
    qsizetype i = lines.indexOf(signedHeader) + 1;
    while (i < lines.size() && !lines[i].isEmpty())
        ++i; // "Hash: SHA512" and other armor headers
    for (++i; i < lines.size() && lines[i] != signatureStart; ++i)
        body.append(lines[i].startsWith(QLatin1String("- ")) ? lines[i].mid(2) : lines[i]);
    return body;
}

// coreutils writes a name holding a backslash or a line end escaped, and then
// starts the line with a backslash.
QString unescaped(const QString& name) {
    QString plain;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == u'\\' && i + 1 < name.size()) {
            ++i;
            plain.append(name[i] == u'n' ? QChar(u'\n') : name[i]);
        } else {
            plain.append(name[i]);
        }
    }
    return plain;
}

bool namesImage(QString listed, const QString& imageName) {
    if (listed.startsWith(QLatin1String("./")))
        listed = listed.mid(2);
    return listed == imageName;
}

} // namespace

QString PublishedChecksum::algorithmName() const {
    return algorithm == Algorithm::Sha512 ? QStringLiteral("SHA-512") : QStringLiteral("SHA-256");
}

std::optional<PublishedChecksum> publishedChecksum(const QString& text, const QString& imageName,
                                                   bool fileIsForThisImage) {
    static const QRegularExpression coreutils(
        QStringLiteral("^(\\\\?)([0-9A-Fa-f]{128}|[0-9A-Fa-f]{64}) [ *](.+)$"));
    static const QRegularExpression bsd(
        QStringLiteral("^SHA(256|512) \\((.+)\\) = ([0-9A-Fa-f]{128}|[0-9A-Fa-f]{64})$"));
    static const QRegularExpression bare(QStringLiteral("^([0-9A-Fa-f]{128}|[0-9A-Fa-f]{64})$"));

    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    const bool clearSigned = lines.contains(signedHeader);
    if (clearSigned)
        lines = signedLines(lines);
    std::optional<PublishedChecksum> sha256;
    for (const QString& line : std::as_const(lines)) {
        QString hash;
        if (const QRegularExpressionMatch m = coreutils.match(line); m.hasMatch()) {
            const QString name = m.captured(1).isEmpty() ? m.captured(3) : unescaped(m.captured(3));
            if (namesImage(name, imageName))
                hash = m.captured(2);
        } else if (const QRegularExpressionMatch m = bsd.match(line); m.hasMatch()) {
            // The tag must name the length the hash has.
            if (namesImage(m.captured(2), imageName) &&
                m.captured(3).size() == (m.captured(1) == QLatin1String("512") ? 128 : 64))
                hash = m.captured(3);
        } else if (const QRegularExpressionMatch m = bare.match(line);
                   m.hasMatch() && fileIsForThisImage) {
            hash = m.captured(1);
        }
        if (hash.size() == 128)
            return PublishedChecksum{PublishedChecksum::Algorithm::Sha512, hash.toLower(),
                                     clearSigned};
        if (!hash.isEmpty() && !sha256)
            sha256 = PublishedChecksum{PublishedChecksum::Algorithm::Sha256, hash.toLower(),
                                       clearSigned};
    }
    return sha256;
}

} // namespace emberlin
