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
    // QLabel itself announces a new name where the label has no fixed one.
    setText(text);
    QAccessibleTextUpdateEvent updated(this, 0, previous, text);
    QAccessible::updateAccessibility(&updated);
    if (!accessibleName().isEmpty()) {
        QAccessibleEvent described(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&described);
    }
}

} // namespace emberlin
