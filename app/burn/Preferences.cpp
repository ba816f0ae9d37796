#include "app/burn/Preferences.h"

#include <QSettings>

namespace emberlin {

namespace {
const auto leaveAppendableKey = QStringLiteral("Leave Appendable");
const auto verifyBurnsKey = QStringLiteral("Verify Burns");
const auto eraseIfPossibleKey = QStringLiteral("Erase If Possible");
const auto burnSpeedKey = QStringLiteral("Burn Speed");
} // namespace

Preferences::Preferences(QSettings& store)
    : store_(store) {}

BurnChoices Preferences::load() const {
    BurnChoices choices;
    choices.leaveAppendable = store_.value(leaveAppendableKey, choices.leaveAppendable).toBool();
    choices.verify = store_.value(verifyBurnsKey, choices.verify).toBool();
    choices.erase = store_.value(eraseIfPossibleKey, choices.erase).toBool();
    choices.speedTitle = store_.value(burnSpeedKey, choices.speedTitle).toString();
    return choices;
}

void Preferences::save(const BurnChoices& choices) {
    store_.setValue(leaveAppendableKey, choices.leaveAppendable);
    store_.setValue(verifyBurnsKey, choices.verify);
    store_.setValue(eraseIfPossibleKey, choices.erase);
    store_.setValue(burnSpeedKey, choices.speedTitle);
    store_.sync();
}

} // namespace emberlin
