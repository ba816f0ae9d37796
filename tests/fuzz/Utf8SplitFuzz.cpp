// Bytes of any kind read in pieces of any sizes decode to the text of all the
// bytes decoded at once: a character cut by the end of a read is carried over,
// each invalid sequence becomes U+FFFD, nothing else is lost; and each piece
// handed on is a whole line or the unfinished end of its read.
#include "process/OutputSplitter.h"
#include "tests/fuzz/FuzzCheck.h"

#include <QStringDecoder>

using namespace emberlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    OutputSplitter splitter;
    QByteArray stream;
    QString text;
    const auto read = [&](const QByteArray& bytes) {
        stream += bytes;
        const QStringList pieces = splitter.split(bytes);
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            const qsizetype lineEnd = pieces[i].indexOf(u'\n');
            check(lineEnd == pieces[i].size() - 1 || (lineEnd < 0 && i + 1 == pieces.size()),
                  "pieces are whole lines, then the end of the read");
            text += pieces[i];
        }
    };
    while (input.remaining_bytes() > 0) {
        const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 64);
        const std::string bytes = input.ConsumeBytesAsString(length);
        read(QByteArray(bytes.data(), qsizetype(bytes.size())));
    }
    read("\n"); // a last line end completes any character still carried over

    QStringDecoder whole(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    check(text == QString(whole.decode(stream)), "read in pieces as decoded whole");
    check(whole.hasError() ? text.contains(QChar::ReplacementCharacter) : text.toUtf8() == stream,
          "valid bytes come back unchanged, invalid ones as U+FFFD");
    return 0;
}
