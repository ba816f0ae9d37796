#include "views/StatusLabel.h"

#include "views/StatusLabelAccessible.h"

#include <QAccessible>
#include <QTextDocument>

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
    // A selectable label lays its text out in a document of its own, whose
    // every change Qt announces again, twice per text and with blanks for
    // the old one: the label's own announcement below is the one heard.
    for (QTextDocument* document : findChildren<QTextDocument*>())
        disconnect(document, &QTextDocument::contentsChange, document->parent(), nullptr);
    QAccessibleTextUpdateEvent updated(this, 0, previous, text);
    QAccessible::updateAccessibility(&updated);
}

} // namespace emberlin
