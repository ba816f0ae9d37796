#pragma once

#include <QString>

namespace emberlin {

// Named event sounds. A seam: the app plays the platform's sounds, tests record.
class Sounds {
public:
    virtual ~Sounds() = default;
    // Looks a sound up once; an empty result means the platform has none of
    // that name, and playing it then does nothing.
    virtual QString soundNamed(const QString& name) = 0;
    // Starts the sound and returns at once.
    virtual void play(const QString& sound) = 0;

    // What a burn's end plays, by the platform's names.
#ifdef Q_OS_MACOS
    static inline const QString successName = QStringLiteral("Glass");
    static inline const QString failureName = QStringLiteral("Basso");
#else
    static inline const QString successName = QStringLiteral("complete");
    static inline const QString failureName = QStringLiteral("dialog-error");
#endif
};

} // namespace emberlin
