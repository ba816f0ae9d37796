#include "app/burn/DiscRefusalNote.h"

#include "tool/BurnState.h"
#include "views/MainWindow.h"

#include <QLocale>

namespace emberlin {

namespace {

// As discs are sold: "737.3 MB", "4.7 GB".
QString sizeText(qint64 bytes) {
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

} // namespace

DiscRefusalNote::DiscRefusalNote(MainWindow& window, QObject* parent)
    : QObject(parent)
    , window_(window) {}

QString DiscRefusalNote::textFor(const QString& status, const ToolFacts& toldWithRefusal) {
    const ToolFacts& told = toldWithRefusal;
    if (told.capacity && told.imageBytes && *told.capacity < *told.imageBytes)
        return tr("The last disc has room for %1; the image needs %2.")
            .arg(sizeText(*told.capacity), sizeText(*told.imageBytes));
    if (!told.discHolds.isEmpty())
        return tr("The last disc holds %1 and was refused: %2").arg(told.discHolds, status);
    return tr("The last disc was refused: %1").arg(status);
}

void DiscRefusalNote::burnStateChanged(BurnState burnState) {
    facts_ = {};
    // A refusal in Ready comes before the prompt that makes the window wait.
    if (burnState != BurnStateAwaitingDiscToErase && burnState != BurnStateAwaitingDisc)
        window_.hideDiscNote();
}

void DiscRefusalNote::burnFactReported(const QString& line) {
    readFactLine(line, facts_);
}

void DiscRefusalNote::discRefused(const QString& status) {
    window_.showDiscNote(textFor(status, facts_));
    facts_ = {};
}

} // namespace emberlin
