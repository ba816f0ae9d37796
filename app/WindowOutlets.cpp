#include "WindowOutlets.h"

#include "DropZone.h"
#include "ui_MainWindow.h"

#include <QAction>
#include <QFileDialog>
#include <QKeySequence>
#include <QMainWindow>
#include <QPushButton>

EmberlinController::Outlets buildWindowOutlets(QMainWindow& window) {
    Ui::MainWindow form;
    form.setupUi(&window);
    // The platform's own shortcuts (Ctrl+O, Cmd+Q, ...); a form can only hold a
    // fixed key string.
    form.openAction->setShortcuts(QKeySequence::Open);
    form.quitAction->setShortcuts(QKeySequence::Quit);

    EmberlinController::Outlets outlets;
    outlets.mainWindow = &window;
    outlets.deviceStatusField = form.deviceStatusField;
    outlets.burnAgainButton = form.burnAgainButton;
    outlets.cancelButton = form.cancelButton;
    outlets.progressBar = form.progressBar;
    outlets.appendableCheckbox = form.appendableCheckbox;
    outlets.eraseCheckbox = form.eraseCheckbox;
    outlets.verifyCheckbox = form.verifyCheckbox;
    outlets.filenameField = form.filenameField;
    outlets.burnSpeedMenu = form.burnSpeedMenu;
    outlets.burnerMenu = form.burnerMenu;
    outlets.dropZone = form.dropZone;
    outlets.reloadBurnersButton = form.reloadBurnersButton;
    return outlets;
}

void connectWindowActions(const EmberlinController::Outlets& outlets,
                          EmberlinController& controller) {
    QObject::connect(outlets.burnAgainButton, &QPushButton::clicked, &controller,
                     &EmberlinController::burnAgain);
    QObject::connect(outlets.cancelButton, &QPushButton::clicked, &controller,
                     &EmberlinController::cancel);
    QObject::connect(outlets.reloadBurnersButton, &QPushButton::clicked, &controller,
                     &EmberlinController::reloadBurners);
    QObject::connect(outlets.dropZone, &DropZone::burnDroppedFile, &controller,
                     &EmberlinController::burnDroppedFile);
    // Like opening a file with the app from the file manager, without a mouse.
    QMainWindow* window = outlets.mainWindow;
    QObject::connect(window->findChild<QAction*>(QStringLiteral("openAction")), &QAction::triggered,
                     &controller, [window, &controller] {
                         const QString image = QFileDialog::getOpenFileName(
                             window, QObject::tr("Open Disc Image"), QString(),
                             QObject::tr("Disc images (*.iso *.img *.dmg *.toast)"));
                         if (!image.isEmpty())
                             controller.openFiles({image});
                     });
}
