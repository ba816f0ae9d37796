#include "app/shell/ToolLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace emberlin {

namespace {
const QString toolName = QStringLiteral("emberlin-disctool");
} // namespace

QString ToolLocation::forThisApplication() {
#ifdef Q_OS_MACOS
    return QStringLiteral("/usr/bin/hdiutil");
#else
    return find(QCoreApplication::applicationDirPath());
#endif
}

QStringList ToolLocation::candidates(const QString& applicationDir) {
    const QDir dir(applicationDir);
    // The install folder relative to the installed executable comes from the
    // build configuration (normally ../libexec/emberlin).
    const QDir installed(dir.filePath(QStringLiteral(EMBERLIN_TOOL_INSTALL_DIR)));
    return {QDir::cleanPath(dir.filePath(toolName)), QDir::cleanPath(installed.filePath(toolName))};
}

QString ToolLocation::find(const QString& applicationDir) {
    const QStringList places = candidates(applicationDir);
    for (const QString& place : places) {
        const QFileInfo info(place);
        if (info.isFile() && info.isExecutable())
            return place;
    }
    return places.first();
}

} // namespace emberlin
