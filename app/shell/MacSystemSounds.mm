#include "app/shell/MacSystemSounds.h"

#include <AppKit/AppKit.h>

namespace emberlin {

QString MacSystemSounds::soundNamed(const QString& name) {
    return [NSSound soundNamed:name.toNSString()] ? name : QString();
}

void MacSystemSounds::play(const QString& sound) {
    if (!sound.isEmpty())
        [[NSSound soundNamed:sound.toNSString()] play];
}

} // namespace emberlin
