#pragma once

#include "tool/BurnCommand.h"

class QSettings;

namespace emberlin {

// The window's four options, remembered between runs in the settings store
// under "Leave Appendable", "Verify Burns", "Erase If Possible" and "Burn Speed".
class Preferences {
public:
    explicit Preferences(QSettings& store);

    // A first run's choices, each replaced by the stored value where one is stored.
    BurnChoices load() const;
    void save(const BurnChoices& choices);

private:
    QSettings& store_;
};

} // namespace emberlin
