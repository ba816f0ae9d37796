#pragma once

#include <QString>
#include <QStringList>

namespace emberlin {

// Where the disc-image tool lives: the system's own on macOS; elsewhere ours,
// beside the executable in a build tree, or in the install's libexec folder.
class ToolLocation final {
public:
    // The tool's path for the running application.
    static QString forThisApplication();

    // The places looked at for emberlin-disctool, in order, for an executable
    // in applicationDir.
    static QStringList candidates(const QString& applicationDir);

    // The first candidate that is an executable file; the first candidate when
    // none is, so that the failure to start names a sensible path.
    static QString find(const QString& applicationDir);
};

} // namespace emberlin
