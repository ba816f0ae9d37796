#include "views/StatusLabelAccessible.h"

#include "views/StatusLabel.h"

#include <algorithm>

namespace emberlin {

StatusLabelAccessible::StatusLabelAccessible(StatusLabel* label)
    : QAccessibleWidget(label, QAccessible::StatusBar) {}

QAccessibleInterface* StatusLabelAccessible::create(const QString& className, QObject* object) {
    if (className != QLatin1String(StatusLabel::staticMetaObject.className()))
        return nullptr;
    return new StatusLabelAccessible(static_cast<StatusLabel*>(object));
}

void* StatusLabelAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString StatusLabelAccessible::shownText() const {
    return static_cast<const StatusLabel*>(widget())->text();
}

QString StatusLabelAccessible::text(int startOffset, int endOffset) const {
    const QString shown = shownText();
    if (endOffset < 0 || endOffset > shown.size())
        endOffset = static_cast<int>(shown.size());
    startOffset = std::clamp(startOffset, 0, endOffset);
    return shown.mid(startOffset, endOffset - startOffset);
}

int StatusLabelAccessible::characterCount() const {
    return static_cast<int>(shownText().size());
}

void StatusLabelAccessible::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
}

QString StatusLabelAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

} // namespace emberlin
