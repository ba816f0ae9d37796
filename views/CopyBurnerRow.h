#pragma once

#include "tool/BurnState.h"
#include "views/BurnStatusView.h"

#include <QFrame>
#include <QString>
#include <array>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace emberlin {

class StatusLabel;

// One burner in the copies window: its check box, and what the main window
// shows of a burn, for this burner's burn: status, progress bar, speed and
// time left, and Cancel while the burn waits for a disc.
class CopyBurnerRow final : public QFrame, public BurnStatusView {
    Q_OBJECT

public:
    explicit CopyBurnerRow(const QString& title, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    bool isChecked() const;
    void setChecked(bool checked);
    void setCheckable(bool checkable);
    // A line beside the title, such as why the burner is not offered; empty hides it.
    void showNote(const QString& note);

    // Cancel and the progress bar as the main window gates them.
    void gate(BurnState burnState);
    // Tab goes from `previous` through the row's controls; the last of them.
    QWidget* placeInTabOrderAfter(QWidget* previous);
    // The first control that can act or tell takes the focus; false if none.
    bool takeFocus();
    void showStatus(const QString& text) override;
    void showActivity() override;
    void showProgress(double fraction) override;
    void hideProgress() override;
    // Speed and time left; empty hides the line.
    void showJobProgress(const QString& text);

signals:
    void checkedChanged();
    void cancelClicked();

private:
    // The controls Tab reaches, in order.
    std::array<QWidget*, 3> tabStops() const;

    QCheckBox* burnerCheckbox_;
    QLabel* noteField_;
    QPushButton* cancelButton_;
    StatusLabel* statusField_;
    QProgressBar* progressBar_;
    StatusLabel* jobProgressField_;
};

} // namespace emberlin
