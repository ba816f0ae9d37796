#include "app/shell/CanberraSounds.h"

#include <QGuiApplication>
#include <canberra.h>

namespace emberlin {

CanberraSounds::CanberraSounds() {
    if (ca_context_create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        return;
    }
    const QByteArray application = QGuiApplication::applicationDisplayName().toUtf8();
    const QByteArray desktopFile = QGuiApplication::desktopFileName().toUtf8();
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, application.constData(),
                            CA_PROP_APPLICATION_ID, desktopFile.constData(), nullptr);
}

CanberraSounds::~CanberraSounds() {
    if (context_)
        ca_context_destroy(context_);
}

QString CanberraSounds::soundNamed(const QString& name) {
    // The theme is searched when the sound plays; a name it lacks stays silent.
    return context_ ? name : QString();
}

void CanberraSounds::play(const QString& sound) {
    if (!context_ || sound.isEmpty())
        return;
    const QByteArray eventId = sound.toUtf8();
    // Plays in the background; a sound that cannot play is silence.
    ca_context_play(context_, 0, CA_PROP_EVENT_ID, eventId.constData(), nullptr);
}

} // namespace emberlin
