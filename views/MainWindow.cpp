#include "views/MainWindow.h"

#include "tool/BurnState.h"
#include "ui_MainWindow.h"
#include "views/BurnProgressBar.h"
#include "views/DiscImageName.h"
#include "views/DropZone.h"
#include "views/SetUpForm.h"

#include <QFileDialog>
#include <QKeySequence>
#include <QScopedValueRollback>
#include <QStandardItemModel>

namespace emberlin {

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , ui_(setUpForm<Ui::MainWindow>(this))
    , options_(*ui_->appendableCheckbox, *ui_->verifyCheckbox, *ui_->eraseCheckbox,
               *ui_->burnSpeedMenu) {
    outlets_ = {ui_->deviceStatusField, ui_->burnAgainButton,    ui_->cancelButton,
                ui_->progressBar,       ui_->appendableCheckbox, ui_->eraseCheckbox,
                ui_->verifyCheckbox,    ui_->filenameField,      ui_->burnSpeedMenu,
                ui_->burnerMenu,        ui_->dropZone,           ui_->reloadBurnersButton};
    prepareBurnProgress(*ui_->progressBar);
    const QString extensions = discImageExtensionChoice();
    ui_->dropZoneLabel->setText(tr("Drop a disc image here to burn it\n(%1)").arg(extensions));
    ui_->dropZone->setAccessibleDescription(
        tr("Drop one disc image file (%1) here to burn it.").arg(extensions));
    // The platform's own shortcuts (Ctrl+O, Cmd+Q, ...); a form holds one fixed key.
    ui_->openAction->setShortcuts(QKeySequence::Open);
    ui_->quitAction->setShortcuts(QKeySequence::Quit);

    connect(ui_->burnAgainButton, &QPushButton::clicked, this, &MainWindow::burnAgainClicked);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &MainWindow::cancelClicked);
    connect(ui_->reloadBurnersButton, &QPushButton::clicked, this,
            &MainWindow::reloadBurnersClicked);
    connect(ui_->dropZone, &DropZone::burnDroppedFile, this, &MainWindow::filesDropped);
    connect(ui_->openAction, &QAction::triggered, this, &MainWindow::chooseFile);
    connect(ui_->quitAction, &QAction::triggered, this, &MainWindow::quitChosen);
    connect(ui_->saveReceiptAction, &QAction::triggered, this, &MainWindow::saveReceiptChosen);
    connect(ui_->burnCopiesAction, &QAction::triggered, this, &MainWindow::burnCopiesChosen);
    // Shown while the burner chosen is burning copies and none is selected.
    ui_->burnerMenu->setPlaceholderText(tr("Choose a burner"));
    connect(ui_->burnerMenu, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!followingClaims_)
            chosenBurner_ = index;
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::gate(BurnState burnState, bool imageChosen) {
    const bool hadFocus = focusWidget() != nullptr;
    enableControls(burnState, imageChosen);
    // A keyboard user is never left on a control just disabled: the focus goes
    // to the next one that can act, or to the status, which says what goes on.
    const QWidget* focused = focusWidget();
    if (!hadFocus || (focused && focused->isEnabled()))
        return;
    for (QWidget* next : std::initializer_list<QWidget*>{
             outlets_.cancelButton, outlets_.burnAgainButton, outlets_.deviceStatusField}) {
        if (next->isEnabled()) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void MainWindow::gateChecking() {
    enableControls(BurnStateAwaitingDisc, true);
    outlets_.cancelButton->setFocus(Qt::OtherFocusReason);
}

void MainWindow::enableControls(BurnState burnState, bool imageChosen) {
    const Outlets& o = outlets_;
    if (burnState == BurnStateReady) {
        o.progressBar->setHidden(true);
        o.dropZone->acceptDrops(true);
        for (QWidget* option :
             std::initializer_list<QWidget*>{o.appendableCheckbox, o.verifyCheckbox,
                                             o.burnSpeedMenu, o.eraseCheckbox, o.burnerMenu})
            option->setEnabled(true);
        o.cancelButton->setEnabled(false);
        o.reloadBurnersButton->setEnabled(true);
        o.burnAgainButton->setEnabled(imageChosen);
        return;
    }
    o.dropZone->acceptDrops(false);
    for (QWidget* control :
         std::initializer_list<QWidget*>{o.burnAgainButton, o.appendableCheckbox, o.verifyCheckbox,
                                         o.burnSpeedMenu, o.eraseCheckbox, o.burnerMenu})
        control->setEnabled(false);
    o.reloadBurnersButton->setEnabled(burnState == BurnStateNoBurners);
    o.cancelButton->setEnabled(burnCancellable(burnState));
    o.progressBar->setHidden(!burnStateReached(burnState, BurnStateErasing));
}

void MainWindow::showStatus(const QString& text) {
    ui_->deviceStatusField->showText(text);
}

void MainWindow::showFileName(const QString& name) {
    ui_->filenameField->setText(name);
}

void MainWindow::showActivity() {
    showBurnActivity(*ui_->progressBar);
}

void MainWindow::showProgress(double fraction) {
    showBurnFraction(*ui_->progressBar, fraction);
}

void MainWindow::hideProgress() {
    ui_->progressBar->setHidden(true);
}

void MainWindow::redrawContent() {
    centralWidget()->update();
}

void MainWindow::showJobProgress(const QString& text) {
    ui_->jobProgressField->showText(text);
    ui_->jobProgressField->setVisible(true);
}

void MainWindow::hideJobProgress() {
    ui_->jobProgressField->setVisible(false);
    ui_->jobProgressField->showText(QString());
}

void MainWindow::showDiscNote(const QString& text) {
    ui_->discNoteField->showText(text);
    ui_->discNoteField->setVisible(true);
}

void MainWindow::hideDiscNote() {
    ui_->discNoteField->setVisible(false);
    ui_->discNoteField->showText(QString());
}

void MainWindow::showChecksumNote(const QString& text) {
    ui_->checksumField->showText(text);
    ui_->checksumField->setVisible(true);
}

void MainWindow::hideChecksumNote() {
    ui_->checksumField->setVisible(false);
    ui_->checksumField->showText(QString());
}

void MainWindow::setReceiptAvailable(bool available) {
    ui_->saveReceiptAction->setEnabled(available);
}

QString MainWindow::askReceiptPath(const QString& suggested) {
    return QFileDialog::getSaveFileName(this, tr("Save Burn Receipt"), suggested,
                                        tr("Text files (*.txt)"));
}

BurnChoices MainWindow::choices() const {
    return options_.choices();
}

void MainWindow::setChoices(const BurnChoices& choices) {
    options_.setChoices(choices);
}

bool MainWindow::eraseChecked() const {
    return ui_->eraseCheckbox->isChecked();
}

void MainWindow::clearBurners() {
    ui_->burnerMenu->clear();
}

void MainWindow::insertBurner(int index, const QString& title) {
    ui_->burnerMenu->insertItem(index, title);
}

void MainWindow::selectFirstBurner() {
    if (ui_->burnerMenu->count() > 0)
        ui_->burnerMenu->setCurrentIndex(0);
}

int MainWindow::selectedBurner() const {
    return ui_->burnerMenu->currentIndex();
}

void MainWindow::setBurnerOffered(int index, bool offered) {
    auto* menu = qobject_cast<QStandardItemModel*>(ui_->burnerMenu->model());
    QStandardItem* item = menu ? menu->item(index) : nullptr;
    if (!item)
        return;
    item->setEnabled(offered);
    if (index != chosenBurner_)
        return;
    // No other burner is taken for the one chosen: none is selected while it
    // is held, and the choice comes back when it is free.
    const QScopedValueRollback following(followingClaims_, true);
    ui_->burnerMenu->setCurrentIndex(offered ? index : -1);
}

QString MainWindow::burnerTitle(int index) const {
    return ui_->burnerMenu->itemText(index);
}

void MainWindow::chooseFile() {
    const QString image =
        QFileDialog::getOpenFileName(this, tr("Open Disc Image"), QString(), discImageFilter());
    if (!image.isEmpty())
        emit fileChosen({image});
}

} // namespace emberlin
