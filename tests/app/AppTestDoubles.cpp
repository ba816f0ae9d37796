#include "AppTestDoubles.h"

int RecordingAlerts::runCritical(const QString& message, const QString& informative,
                                 const QStringList& buttons) {
    shown.push_back({message, informative, buttons});
    return answer ? answer(shown.back()) : 0;
}

QString RecordingSounds::soundNamed(const QString& name) {
    lookedUp.append(name);
    if (onLookUp)
        onLookUp(name);
    return QStringLiteral("sound:") + name;
}

void RecordingSounds::play(const QString& sound) {
    played.append(sound);
}

bool RefusingPtyOpener::openRawPair(FileDescriptor& master, FileDescriptor& slave) {
    master.reset();
    slave.reset();
    return false;
}
