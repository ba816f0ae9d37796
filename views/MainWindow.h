#pragma once

#include "tool/BurnCommand.h"
#include "tool/BurnState.h"
#include "views/BurnOptionControls.h"
#include "views/BurnStatusView.h"

#include <QMainWindow>
#include <QStringList>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace emberlin {

class DropZone;
namespace Ui {
class MainWindow;
}

// The main window: its form with the outlets, and which of its controls the
// user may touch in each burn state. The controller tells it what to show; it
// tells the controller what the user asked for.
class MainWindow final : public QMainWindow, public BurnStatusView {
    Q_OBJECT

public:
    // The window's controls (the window itself being the first outlet).
    struct Outlets {
        QLabel* deviceStatusField;
        QPushButton* burnAgainButton;
        QPushButton* cancelButton;
        QProgressBar* progressBar;
        QCheckBox* appendableCheckbox;
        QCheckBox* eraseCheckbox;
        QCheckBox* verifyCheckbox;
        QLabel* filenameField;
        QComboBox* burnSpeedMenu;
        QComboBox* burnerMenu;
        DropZone* dropZone;
        QPushButton* reloadBurnersButton;
    };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    const Outlets& outlets() const { return outlets_; }

    // Enables the controls the burn state allows (burn again only once an image
    // was chosen), shows the progress bar from erasing on, switches the drop
    // zone. Texts and the bar's value stay as they are.
    void gate(BurnState burnState, bool imageChosen);
    // While the image is compared with its published checksum, in Ready: only
    // Cancel may be pressed.
    void gateChecking();

    void showStatus(const QString& text) override;
    void showFileName(const QString& name);
    void showActivity() override;
    void showProgress(double fraction) override;
    void hideProgress() override;
    void redrawContent();
    // The line below the status: speed and time left while a burn runs.
    void showJobProgress(const QString& text);
    void hideJobProgress();
    // The line below the status while the window waits for another disc: why
    // the last one was refused.
    void showDiscNote(const QString& text);
    void hideDiscNote();
    // Below the image's name: how it compared with its published checksum.
    void showChecksumNote(const QString& text);
    void hideChecksumNote();
    void setReceiptAvailable(bool available);
    // Asks where to save the burn receipt; empty when the user cancelled.
    QString askReceiptPath(const QString& suggested);

    BurnChoices choices() const;
    // A speed title the menu lacks selects the maximum.
    void setChoices(const BurnChoices& choices);
    bool eraseChecked() const;

    void clearBurners();
    void insertBurner(int index, const QString& title);
    void selectFirstBurner();
    // A burner not offered (another window's burn holds it) cannot be chosen;
    // while the one the user chose is not offered, none is selected, and once
    // it is offered again it is selected again.
    void setBurnerOffered(int index, bool offered);
    // -1 when no burner is selected.
    int selectedBurner() const;
    QString burnerTitle(int index) const;

signals:
    void burnAgainClicked();
    void cancelClicked();
    void reloadBurnersClicked();
    void filesDropped(const QStringList& files);
    void fileChosen(const QStringList& files); // File > Open
    void quitChosen();
    void saveReceiptChosen(); // File > Save Burn Receipt
    void burnCopiesChosen();  // File > Burn Copies

private:
    void enableControls(BurnState burnState, bool imageChosen);
    void chooseFile();

    std::unique_ptr<Ui::MainWindow> ui_;
    Outlets outlets_;
    BurnOptionControls options_;
    // The burner the user (or the listing) selected last.
    int chosenBurner_ = -1;
    // The selection follows the claims of other windows' burns, not a choice.
    bool followingClaims_ = false;
};

} // namespace emberlin
