#pragma once

#include "tool/BurnCommand.h"

class QCheckBox;
class QComboBox;

namespace emberlin {

// A window's four burn options: the check boxes and the speed menu, which it
// fills with the tool's own speed titles (the burn reads them back).
class BurnOptionControls {
public:
    BurnOptionControls(QCheckBox& appendable, QCheckBox& verify, QCheckBox& erase,
                       QComboBox& speed);

    BurnChoices choices() const;
    // A speed title the menu lacks selects the maximum.
    void setChoices(const BurnChoices& choices);
    void setEnabled(bool enabled);

private:
    QCheckBox& appendable_;
    QCheckBox& verify_;
    QCheckBox& erase_;
    QComboBox& speed_;
};

} // namespace emberlin
