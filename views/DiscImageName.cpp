#include "views/DiscImageName.h"

#include <algorithm>
#include <array>

namespace emberlin {

// Only the last extension counts, compared exactly: "disc.ISO" and
// "disc.iso.zip" are refused, "backup.tar.dmg" is accepted.
bool isDiscImageName(QString path) {
    static const std::array<QString, 4> accepted{QStringLiteral("img"), QStringLiteral("iso"),
                                                 QStringLiteral("dmg"), QStringLiteral("toast")};
    // A folder may be handed over with a trailing slash; its name still counts.
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QString name = path.section(QLatin1Char('/'), -1);
    const qsizetype stop = name.lastIndexOf(QLatin1Char('.'));
    if (stop < 0)
        return false;
    const QString extension = name.mid(stop + 1);
    return std::find(accepted.begin(), accepted.end(), extension) != accepted.end();
}

} // namespace emberlin
