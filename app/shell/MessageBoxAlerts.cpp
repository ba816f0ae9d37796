#include "app/shell/MessageBoxAlerts.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace emberlin {

namespace {
// Titles may get mnemonics from the platform theme; the index travels with the button.
const char* const buttonIndexProperty = "emberlinButtonIndex";
} // namespace

MessageBoxAlerts::MessageBoxAlerts(QWidget* parent)
    : parent_(parent) {}

int MessageBoxAlerts::runCritical(const QString& message, const QString& informative,
                                  const QStringList& buttons, int defaultButton) {
    const std::unique_ptr<QMessageBox> box =
        buildCritical(message, informative, buttons, defaultButton, parent_);
    box->exec();
    return answerOf(*box);
}

std::unique_ptr<QMessageBox> MessageBoxAlerts::buildCritical(const QString& message,
                                                             const QString& informative,
                                                             const QStringList& buttons,
                                                             int defaultButton, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setIcon(QMessageBox::Critical);
    box->setTextFormat(Qt::PlainText);
    box->setText(message);
    box->setInformativeText(informative);
    // setTextFormat leaves the informative text to guess at markup.
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setTextFormat(Qt::PlainText);
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        QPushButton* button =
            box->addButton(buttons[i], i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
        button->setProperty(buttonIndexProperty, static_cast<int>(i));
        if (i == defaultButton)
            box->setDefaultButton(button);
        // Escape, and a box closed without an answer, mean the last button.
        if (i == buttons.size() - 1)
            box->setEscapeButton(button);
    }
    return box;
}

int MessageBoxAlerts::answerOf(const QMessageBox& box) {
    const QAbstractButton* button = box.clickedButton();
    if (!button)
        button = box.escapeButton();
    return button ? button->property(buttonIndexProperty).toInt() : 0;
}

} // namespace emberlin
