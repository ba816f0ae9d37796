#pragma once

#include "tool/BurnCommand.h"
#include "views/BurnOptionControls.h"

#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

namespace emberlin {

class CopyBurnerRow;
namespace Ui {
class CopiesWindow;
}

// The window that burns one image to several burners at once: the image, the
// main window's four options, a row for each listed burner, the summary of
// the last copy burn and its receipts. The controller tells it what to show.
class CopiesWindow final : public QWidget {
    Q_OBJECT

public:
    explicit CopiesWindow(QWidget* parent = nullptr);
    ~CopiesWindow() override;

    // The image's file name; empty: the drop hint.
    void showImage(const QString& fileName);
    BurnChoices choices() const;
    void setChoices(const BurnChoices& choices);
    // While copies burn, the image and the options stay as they are.
    void gate(bool copyBurnRunning, bool burnPossible);

    // A new row, shown last; the window owns it.
    CopyBurnerRow* addBurnerRow(const QString& title);
    // The rows in this order; the window deletes those it holds and the list lacks.
    void keepBurnerRows(const std::vector<CopyBurnerRow*>& rows);

    void showSummary(const QString& text);
    void setReceiptsAvailable(bool available);
    // Asks where to save the receipts; empty when the user cancelled.
    QString askReceiptsPath(const QString& suggested);

signals:
    void imageChosen(const QString& path); // dropped or chosen
    void burnClicked();
    void saveReceiptsClicked();

private:
    void chooseImage();
    // At its first size the window shows four burning rows; more scroll.
    void fitBurningRows();
    // The first row's control that can take the focus takes it.
    void focusRows();

    std::unique_ptr<Ui::CopiesWindow> ui_;
    BurnOptionControls options_;
    std::vector<CopyBurnerRow*> rows_;
};

} // namespace emberlin
