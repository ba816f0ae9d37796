#include "views/CopyBurnerRow.h"

#include "tool/BurnState.h"
#include "views/BurnProgressBar.h"
#include "views/StatusLabel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace emberlin {

namespace {

// Tool output and burner names are never taken for markup.
template <typename Label> Label* plainLabel(QWidget* parent) {
    auto* label = new Label(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

CopyBurnerRow::CopyBurnerRow(const QString& title, QWidget* parent)
    : QFrame(parent)
    , burnerCheckbox_(new QCheckBox(this))
    , noteField_(plainLabel<QLabel>(this))
    , cancelButton_(new QPushButton(tr("Cancel"), this))
    , statusField_(plainLabel<StatusLabel>(this))
    , progressBar_(new QProgressBar(this))
    , jobProgressField_(plainLabel<StatusLabel>(this)) {
    setFrameShape(QFrame::StyledPanel);
    statusField_->setObjectName(QStringLiteral("statusField"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(burnerCheckbox_, 0, 0);
    layout->addWidget(cancelButton_, 0, 1);
    layout->addWidget(noteField_, 1, 0, 1, 2);
    layout->addWidget(statusField_, 2, 0, 1, 2);
    layout->addWidget(progressBar_, 3, 0, 1, 2);
    layout->addWidget(jobProgressField_, 4, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    setTitle(title);
    noteField_->hide();
    statusField_->hide();
    statusField_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    cancelButton_->setAutoDefault(true); // Return presses it, as in the main window
    progressBar_->setTextVisible(false);
    prepareBurnProgress(*progressBar_);
    jobProgressField_->hide();
    gate(BurnStateReady);
    connect(burnerCheckbox_, &QCheckBox::toggled, this, &CopyBurnerRow::checkedChanged);
    connect(cancelButton_, &QPushButton::clicked, this, &CopyBurnerRow::cancelClicked);
}

void CopyBurnerRow::setTitle(const QString& title) {
    // A title is shown as it stands: "&" is no shortcut here.
    burnerCheckbox_->setText(QString(title).replace(u'&', QStringLiteral("&&")));
    setAccessibleName(title);
    cancelButton_->setAccessibleName(tr("Cancel the burn on %1").arg(title));
    progressBar_->setAccessibleName(tr("Burn progress on %1").arg(title));
    statusField_->setAccessibleName(tr("Status on %1").arg(title));
    jobProgressField_->setAccessibleName(tr("Speed and time left on %1").arg(title));
}

bool CopyBurnerRow::isChecked() const {
    return burnerCheckbox_->isChecked();
}

void CopyBurnerRow::setChecked(bool checked) {
    burnerCheckbox_->setChecked(checked);
}

void CopyBurnerRow::setCheckable(bool checkable) {
    burnerCheckbox_->setEnabled(checkable);
}

void CopyBurnerRow::showNote(const QString& note) {
    noteField_->setText(note);
    noteField_->setVisible(!note.isEmpty());
}

void CopyBurnerRow::gate(BurnState burnState) {
    cancelButton_->setEnabled(burnCancellable(burnState));
    progressBar_->setHidden(!burnStateReached(burnState, BurnStateErasing));
}

std::array<QWidget*, 3> CopyBurnerRow::tabStops() const {
    return {burnerCheckbox_, cancelButton_, statusField_};
}

QWidget* CopyBurnerRow::placeInTabOrderAfter(QWidget* previous) {
    for (QWidget* next : tabStops()) {
        setTabOrder(previous, next);
        previous = next;
    }
    return previous;
}

bool CopyBurnerRow::takeFocus() {
    for (QWidget* next : tabStops()) {
        if (next->isEnabled() && next->isVisibleTo(this)) {
            next->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return false;
}

void CopyBurnerRow::showStatus(const QString& text) {
    statusField_->showText(text);
    statusField_->setVisible(!text.isEmpty());
}

void CopyBurnerRow::showActivity() {
    showBurnActivity(*progressBar_);
}

void CopyBurnerRow::showProgress(double fraction) {
    showBurnFraction(*progressBar_, fraction);
}

void CopyBurnerRow::hideProgress() {
    progressBar_->hide();
}

void CopyBurnerRow::showJobProgress(const QString& text) {
    jobProgressField_->showText(text);
    jobProgressField_->setVisible(!text.isEmpty());
}

} // namespace emberlin
