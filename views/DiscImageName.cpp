#include "views/DiscImageName.h"

#include <QCoreApplication>

namespace emberlin {

const QStringList& discImageExtensions() {
    static const QStringList extensions{QStringLiteral("iso"), QStringLiteral("img"),
                                        QStringLiteral("dmg"), QStringLiteral("toast")};
    return extensions;
}

// Only the last extension counts, compared exactly: "disc.ISO" and
// "disc.iso.zip" are refused, "backup.tar.dmg" is accepted.
bool isDiscImageName(QString path) {
    // A folder may be handed over with a trailing slash; its name still counts.
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QString name = path.section(QLatin1Char('/'), -1);
    const qsizetype stop = name.lastIndexOf(QLatin1Char('.'));
    return stop >= 0 && discImageExtensions().contains(name.mid(stop + 1));
}

QString discImageExtensionChoice() {
    QStringList names;
    for (const QString& extension : discImageExtensions())
        names.append(QLatin1Char('.') + extension);
    const QString last = names.takeLast();
    //: The last of a list of file name extensions joined to the others (".iso, .img, .dmg").
    return QCoreApplication::translate("DiscImageName", "%1 or %2")
        .arg(names.join(QStringLiteral(", ")), last);
}

QString discImageFilter() {
    QStringList patterns;
    for (const QString& extension : discImageExtensions())
        patterns.append(QStringLiteral("*.") + extension);
    return QCoreApplication::translate("DiscImageName", "Disc images (%1)")
        .arg(patterns.join(QLatin1Char(' ')));
}

} // namespace emberlin
