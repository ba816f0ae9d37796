#include "app/shell/FileOpenEvents.h"

#include <QCoreApplication>
#include <QFileOpenEvent>
#include <QTimer>
#include <utility>

namespace emberlin {

FileOpenEvents::FileOpenEvents(QObject* parent)
    : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
}

FileOpenEvents::~FileOpenEvents() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool FileOpenEvents::eventFilter(QObject* watched, QEvent* event) {
    if (watched != QCoreApplication::instance() || event->type() != QEvent::FileOpen)
        return false;
    const QString file = static_cast<QFileOpenEvent*>(event)->file();
    if (file.isEmpty())
        return false; // not a local file: not ours
    if (pending_.isEmpty())
        QTimer::singleShot(0, this, &FileOpenEvents::handOn);
    pending_.append(file);
    return true;
}

void FileOpenEvents::handOn() {
    emit filesOpened(std::exchange(pending_, {}));
}

} // namespace emberlin
