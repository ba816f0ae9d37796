#pragma once

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringList>

// Turns the bytes of each read into the pieces handed to a client: every
// complete line with its "\n", then the unfinished end of the read as it is.
// A character cut in two by the end of a read is carried over to the next one.
class OutputSplitter {
public:
    // Empty when the bytes are not valid UTF-8: such a read is dropped whole.
    QStringList split(QByteArrayView bytes);

private:
    // A leading byte-order mark is output like any other character.
    QStringDecoder decoder_{QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom};
};
