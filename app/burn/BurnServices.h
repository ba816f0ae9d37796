#pragma once

#include <QString>

class QSettings;

namespace emberlin {

class Alerts;
class BurnerClaims;
class PtyOpener;
class Sounds;

// What a window's burns may not reach by themselves.
struct BurnServices {
    Alerts& alerts;
    Sounds& sounds;
    QSettings& settingsStore;
    PtyOpener& ptyOpener;
    // Which burners the burns of every window hold.
    BurnerClaims& burnerClaims;
    QString toolPath;
};

} // namespace emberlin
