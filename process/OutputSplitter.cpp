#include "process/OutputSplitter.h"

#include <algorithm>
#include <utility>

namespace emberlin {

namespace {

// How many bytes at the end begin a character that is not complete yet.
qsizetype incompleteEnd(QByteArrayView bytes) {
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, bytes.size()); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xc0) == 0x80)
            continue; // a continuation byte: its start lies further back
        const qsizetype length = byte >= 0xf8   ? 1
                                 : byte >= 0xf0 ? 4
                                 : byte >= 0xe0 ? 3
                                 : byte >= 0xc0 ? 2
                                                : 1;
        return length > back ? back : 0;
    }
    return 0;
}

} // namespace

QStringList OutputSplitter::split(QByteArrayView bytes) {
    // Qt's decoder drops the byte after an invalid character it carried over
    // from the previous read; so each read is decoded on its own, a cut
    // character kept back for the next.
    const QByteArray read = std::exchange(cutCharacter_, {}).append(bytes);
    const qsizetype complete = read.size() - incompleteEnd(read);
    cutCharacter_ = read.sliced(complete);
    const QString text = decoder_.decode(read.first(complete));
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

} // namespace emberlin
