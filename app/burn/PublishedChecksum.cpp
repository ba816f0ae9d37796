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

std::optional<PublishedChecksum> publishedSha256(const QString& text, const QString& imageName,
                                                 bool fileIsForThisImage) {
    static const QRegularExpression coreutils(
        QStringLiteral("^(\\\\?)([0-9A-Fa-f]{64}) [ *](.+)$"));
    static const QRegularExpression bsd(QStringLiteral("^SHA256 \\((.+)\\) = ([0-9A-Fa-f]{64})$"));
    static const QRegularExpression bare(QStringLiteral("^([0-9A-Fa-f]{64})$"));

    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    const bool clearSigned = lines.contains(signedHeader);
    if (clearSigned)
        lines = signedLines(lines);
    for (const QString& line : std::as_const(lines)) {
        QString hash;
        if (const QRegularExpressionMatch m = coreutils.match(line); m.hasMatch()) {
            const QString name = m.captured(1).isEmpty() ? m.captured(3) : unescaped(m.captured(3));
            if (namesImage(name, imageName))
                hash = m.captured(2);
        } else if (const QRegularExpressionMatch m = bsd.match(line); m.hasMatch()) {
            if (namesImage(m.captured(1), imageName))
                hash = m.captured(2);
        } else if (const QRegularExpressionMatch m = bare.match(line);
                   m.hasMatch() && fileIsForThisImage) {
            hash = m.captured(1);
        }
        if (!hash.isEmpty())
            return PublishedChecksum{hash.toLower(), clearSigned};
    }
    return std::nullopt;
}

} // namespace emberlin
