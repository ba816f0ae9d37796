#pragma once

#include "app/burn/Alerts.h"

#include <QPointer>
#include <memory>

class QMessageBox;
class QWidget;

namespace emberlin {

// Critical alerts as application-modal message boxes.
class MessageBoxAlerts final : public Alerts {
public:
    explicit MessageBoxAlerts(QWidget* parent = nullptr);

    int runCritical(const QString& message, const QString& informative, const QStringList& buttons,
                    int defaultButton = 0) override;

    // The box before it runs: critical icon, message and informative text both
    // shown as plain text, the buttons in the given order, the last the escape
    // button.
    static std::unique_ptr<QMessageBox>
    buildCritical(const QString& message, const QString& informative, const QStringList& buttons,
                  int defaultButton = 0, QWidget* parent = nullptr);

    // The index of the button that closed the box; the last button's when it
    // was closed otherwise (escape, or the application ending under it).
    static int answerOf(const QMessageBox& box);

private:
    QPointer<QWidget> parent_;
};

} // namespace emberlin
