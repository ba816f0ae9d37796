#pragma once

#include "app/burn/Sounds.h"

namespace emberlin {

// The system sounds of macOS by name (e.g. "Glass", "Basso").
class MacSystemSounds final : public Sounds {
public:
    QString soundNamed(const QString& name) override;
    void play(const QString& sound) override;
};

} // namespace emberlin
