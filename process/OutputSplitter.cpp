#include "OutputSplitter.h"

QStringList OutputSplitter::split(QByteArrayView bytes) {
    const QString text = decoder_.decode(bytes);
    if (decoder_.hasError()) {
        // Start afresh, so the next read decodes on its own.
        decoder_.resetState();
        return {};
    }

    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype end = text.indexOf(u'\n'); end >= 0; end = text.indexOf(u'\n', start)) {
        pieces.append(text.mid(start, end + 1 - start));
        start = end + 1;
    }
    if (start < text.size())
        pieces.append(text.mid(start));
    return pieces;
}
