#pragma once

#include <QCursor>
#include <QStringList>
#include <QWidget>

namespace emberlin {

// The area of the main window on which one disc-image file is dropped to burn it.
class DropZone final : public QWidget {
    Q_OBJECT

public:
    explicit DropZone(QWidget* parent = nullptr);
    ~DropZone() override; // a drag still over the view gives its cursor back

    // Switches drag acceptance on and off. Hides QWidget::acceptDrops() on
    // purpose: Qt's own drop acceptance stays on so that enter, leave and drop
    // events keep arriving, and this flag decides.
    void acceptDrops(bool accept);
    bool acceptingDrops() const { return acceptingDrops_; }

signals:
    // The dropped file list, handed to the controller's burnDroppedFile.
    void burnDroppedFile(const QStringList& files);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void restoreCursor();

    QCursor dropCursor_;
    bool acceptingDrops_ = true;
    bool cursorPushed_ = false; // the drop cursor is on the override stack
};

} // namespace emberlin
