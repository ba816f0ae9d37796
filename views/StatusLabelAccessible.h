#pragma once

#include <QAccessibleWidget>

namespace emberlin {

class StatusLabel;

// What assistive technology sees of a StatusLabel: a status bar named by its
// accessible name, whose text can be read through the text interface, which
// Qt's own labels lack.
class StatusLabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit StatusLabelAccessible(StatusLabel* label);

    // For QAccessible::installFactory.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    void* interface_cast(QAccessible::InterfaceType type) override;
    using QAccessibleWidget::text;

    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    // Read only, without selection or caret.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    QString shownText() const;
};

} // namespace emberlin
