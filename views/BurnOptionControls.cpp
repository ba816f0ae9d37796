#include "views/BurnOptionControls.h"

#include <QCheckBox>
#include <QComboBox>

namespace emberlin {

BurnOptionControls::BurnOptionControls(QCheckBox& appendable, QCheckBox& verify, QCheckBox& erase,
                                       QComboBox& speed)
    : appendable_(appendable)
    , verify_(verify)
    , erase_(erase)
    , speed_(speed) {
    for (const toolprotocol::Speed& title : toolprotocol::speeds)
        speed_.addItem(qtText(title.title));
    speed_.addItem(qtText(toolprotocol::maximumSpeed));
}

BurnChoices BurnOptionControls::choices() const {
    return {appendable_.isChecked(), verify_.isChecked(), erase_.isChecked(), speed_.currentText()};
}

void BurnOptionControls::setChoices(const BurnChoices& choices) {
    appendable_.setChecked(choices.leaveAppendable);
    verify_.setChecked(choices.verify);
    erase_.setChecked(choices.erase);
    const int chosen = speed_.findText(choices.speedTitle);
    speed_.setCurrentIndex(chosen >= 0 ? chosen
                                       : speed_.findText(qtText(toolprotocol::maximumSpeed)));
}

void BurnOptionControls::setEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{&appendable_, &verify_, &erase_, &speed_})
        control->setEnabled(enabled);
}

} // namespace emberlin
