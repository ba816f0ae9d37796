#include "views/CopiesWindow.h"

#include "tool/BurnState.h"
#include "ui_CopiesWindow.h"
#include "views/CopyBurnerRow.h"
#include "views/DiscImageName.h"
#include "views/DropZone.h"
#include "views/SetUpForm.h"

#include <QFileDialog>
#include <algorithm>

namespace emberlin {

CopiesWindow::CopiesWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , ui_(setUpForm<Ui::CopiesWindow>(this))
    , options_(*ui_->appendableCheckbox, *ui_->verifyCheckbox, *ui_->eraseCheckbox,
               *ui_->burnSpeedMenu) {
    ui_->dropZone->setAccessibleDescription(
        tr("Drop one disc image file (%1) here to burn copies of it.")
            .arg(discImageExtensionChoice()));
    showImage(QString());
    fitBurningRows();
    keepBurnerRows({});
    connect(ui_->dropZone, &DropZone::burnDroppedFile, this, [this](const QStringList& files) {
        if (!files.isEmpty())
            emit imageChosen(files.first());
    });
    connect(ui_->chooseImageButton, &QPushButton::clicked, this, &CopiesWindow::chooseImage);
    connect(ui_->burnButton, &QPushButton::clicked, this, &CopiesWindow::burnClicked);
    connect(ui_->saveReceiptsButton, &QPushButton::clicked, this,
            &CopiesWindow::saveReceiptsClicked);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QWidget::close);
}

CopiesWindow::~CopiesWindow() = default;

void CopiesWindow::fitBurningRows() {
    constexpr int rowsShown = 4;
    CopyBurnerRow burning{QString()};
    burning.gate(BurnStateBurning);
    burning.showStatus(QStringLiteral("-"));
    burning.showJobProgress(QStringLiteral("-"));
    const int rowsHeight =
        rowsShown * burning.sizeHint().height() + (rowsShown - 1) * ui_->burnersLayout->spacing();
    // The window's own layout works out the rest around rows of that height.
    ui_->noBurnersField->hide();
    ui_->burnersArea->setMinimumHeight(rowsHeight);
    resize(width(), std::max(height(), sizeHint().height()));
    ui_->burnersArea->setMinimumHeight(0);
}

void CopiesWindow::showImage(const QString& fileName) {
    ui_->imageField->setText(fileName.isEmpty()
                                 ? tr("Drop a disc image here to burn copies of it\n(%1)")
                                       .arg(discImageExtensionChoice())
                                 : fileName);
}

BurnChoices CopiesWindow::choices() const {
    return options_.choices();
}

void CopiesWindow::setChoices(const BurnChoices& choices) {
    options_.setChoices(choices);
}

void CopiesWindow::gate(bool copyBurnRunning, bool burnPossible) {
    const bool burnHadFocus = ui_->burnButton->hasFocus();
    ui_->dropZone->acceptDrops(!copyBurnRunning);
    ui_->chooseImageButton->setEnabled(!copyBurnRunning);
    options_.setEnabled(!copyBurnRunning);
    ui_->burnButton->setEnabled(!copyBurnRunning && burnPossible);
    // Burn hands the focus to the rows of the burns it started, once they
    // tell their story.
    if (burnHadFocus && copyBurnRunning)
        QMetaObject::invokeMethod(this, &CopiesWindow::focusRows, Qt::QueuedConnection);
}

void CopiesWindow::focusRows() {
    for (CopyBurnerRow* row : rows_) {
        if (row->takeFocus())
            return;
    }
}

CopyBurnerRow* CopiesWindow::addBurnerRow(const QString& title) {
    auto* row = new CopyBurnerRow(title, ui_->burnersList);
    rows_.push_back(row);
    keepBurnerRows(rows_);
    return row;
}

void CopiesWindow::keepBurnerRows(const std::vector<CopyBurnerRow*>& rows) {
    for (CopyBurnerRow* row : rows_) {
        if (std::find(rows.begin(), rows.end(), row) == rows.end())
            delete row;
    }
    rows_ = rows;
    // In order, before the spacer that keeps them at the top; Tab reaches
    // them after the options, before the buttons below.
    QWidget* previous = ui_->eraseCheckbox;
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        ui_->burnersLayout->removeWidget(rows_[index]);
        ui_->burnersLayout->insertWidget(static_cast<int>(index), rows_[index]);
        previous = rows_[index]->placeInTabOrderAfter(previous);
    }
    ui_->noBurnersField->setVisible(rows_.empty());
    ui_->burnersArea->setVisible(!rows_.empty());
}

void CopiesWindow::showSummary(const QString& text) {
    ui_->summaryField->showText(text);
}

void CopiesWindow::setReceiptsAvailable(bool available) {
    ui_->saveReceiptsButton->setEnabled(available);
}

QString CopiesWindow::askReceiptsPath(const QString& suggested) {
    return QFileDialog::getSaveFileName(this, tr("Save Burn Receipts"), suggested,
                                        tr("Text files (*.txt)"));
}

void CopiesWindow::chooseImage() {
    const QString image =
        QFileDialog::getOpenFileName(this, tr("Choose Disc Image"), QString(), discImageFilter());
    if (!image.isEmpty())
        emit imageChosen(image);
}

} // namespace emberlin
