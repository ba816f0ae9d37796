#include "views/StatusLabel.h"

#include "views/StatusLabelAccessible.h"

#include <QAccessible>

namespace emberlin {

StatusLabel::StatusLabel(QWidget* parent)
    : QLabel(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&StatusLabelAccessible::create);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
}

void StatusLabel::showText(const QString& text) {
    const QString previous = this->text();
    if (previous == text)
        return;
    // The text replaced; with its fixed name the label announces no new name.
    setText(text);
    QAccessibleTextUpdateEvent updated(this, 0, previous, text);
    QAccessible::updateAccessibility(&updated);
}

} // namespace emberlin
