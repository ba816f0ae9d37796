#include "views/DropZone.h"

#include "views/DiscImageName.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPixmap>
#include <QUrl>

namespace emberlin {

namespace {

const auto dropCursorResource = QStringLiteral(":/emberlin/burncursor.xpm");
constexpr int dropCursorHotX = 3;
constexpr int dropCursorHotY = 1;

bool holdsOneDiscImage(const QMimeData* mimeData) {
    if (mimeData == nullptr || !mimeData->hasUrls())
        return false;
    const QList<QUrl> urls = mimeData->urls();
    return urls.size() == 1 && urls.first().isLocalFile() &&
           isDiscImageName(urls.first().toLocalFile());
}

QCursor makeDropCursor() {
    const QPixmap image(dropCursorResource);
    if (image.isNull())
        return QCursor(Qt::DragCopyCursor);
    return QCursor(image, dropCursorHotX, dropCursorHotY);
}

} // namespace

DropZone::DropZone(QWidget* parent)
    : QWidget(parent)
    , dropCursor_(makeDropCursor()) {
    setAcceptDrops(true);
    acceptDrops(true);
}

DropZone::~DropZone() {
    restoreCursor();
}

void DropZone::acceptDrops(bool accept) {
    acceptingDrops_ = accept;
}

void DropZone::dragEnterEvent(QDragEnterEvent* event) {
    if (!(event->possibleActions() & Qt::CopyAction) || !acceptingDrops_ ||
        !holdsOneDiscImage(event->mimeData())) {
        event->ignore();
        return;
    }
    QGuiApplication::setOverrideCursor(dropCursor_);
    cursorPushed_ = true;
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropZone::dragLeaveEvent(QDragLeaveEvent* event) {
    restoreCursor();
    event->accept();
}

void DropZone::dropEvent(QDropEvent* event) {
    // The drag ends here, so the drop cursor goes whether or not the file is
    // wanted any more.
    restoreCursor();
    const QMimeData* mimeData = event->mimeData();
    if (mimeData != nullptr && mimeData->hasUrls()) {
        QStringList paths;
        for (const QUrl& url : mimeData->urls()) {
            if (url.isLocalFile())
                paths.append(url.toLocalFile());
        }
        if (!paths.isEmpty())
            emit burnDroppedFile(paths);
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DropZone::restoreCursor() {
    // Pop only what this view pushed: the override stack is shared with the
    // rest of the application.
    if (!cursorPushed_)
        return;
    cursorPushed_ = false;
    QGuiApplication::restoreOverrideCursor();
}

} // namespace emberlin
