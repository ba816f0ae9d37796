#include "tool/FactLine.h"

#include "tool/ProtocolText.h"

#include <QStringList>
#include <QUrl>

namespace emberlin {

namespace {

void readFigure(const QString& value, std::optional<qint64>& figure) {
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (ok && number >= 0)
        figure = number;
}

} // namespace

bool isFactLine(const QString& line) {
    return line.startsWith(qtText(toolprotocol::factMarker));
}

void readFactLine(const QString& line, ToolFacts& facts) {
    if (!isFactLine(line))
        return;
    namespace tp = toolprotocol;
    const QString pairs = line.mid(tp::factMarker.size());
    for (const QString& pair : pairs.split(u' ', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = pair.left(equals);
        const QString value = QUrl::fromPercentEncoding(pair.mid(equals + 1).toUtf8());
        if (key == qtText(tp::factMedium))
            facts.medium = value;
        else if (key == qtText(tp::factCapacity))
            readFigure(value, facts.capacity);
        else if (key == qtText(tp::factImageBytes))
            readFigure(value, facts.imageBytes);
        else if (key == qtText(tp::factWriteSpeed))
            readFigure(value, facts.writeKilobytesPerSecond);
        else if (key == qtText(tp::factReadSpeed))
            readFigure(value, facts.readKilobytesPerSecond);
        else if (key == qtText(tp::factErase))
            facts.erase = value;
        else if (key == qtText(tp::factBytesWritten))
            readFigure(value, facts.bytesWritten);
        else if (key == qtText(tp::factBytesVerified))
            readFigure(value, facts.bytesVerified);
        else if (key == qtText(tp::factFileSha256))
            facts.fileSha256 = value;
        else if (key == qtText(tp::factImageSha256))
            facts.imageSha256 = value;
        else if (key == qtText(tp::factReadbackSha256))
            facts.readbackSha256 = value;
        else if (key == qtText(tp::factReadbackFrom))
            facts.readbackFrom = value;
        else if (key == qtText(tp::factDiscHolds))
            facts.discHolds = value;
    }
}

} // namespace emberlin
