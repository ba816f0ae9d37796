#pragma once

#include "app/burn/Sounds.h"

struct ca_context;

namespace emberlin {

// The freedesktop sound theme through libcanberra; names are the theme's event
// ids (e.g. "complete", "dialog-error"). Without a context every sound is
// silent.
class CanberraSounds final : public Sounds {
public:
    CanberraSounds();
    ~CanberraSounds() override;

    CanberraSounds(const CanberraSounds&) = delete;
    CanberraSounds& operator=(const CanberraSounds&) = delete;

    QString soundNamed(const QString& name) override;
    void play(const QString& sound) override;

private:
    ca_context* context_ = nullptr;
};

} // namespace emberlin
