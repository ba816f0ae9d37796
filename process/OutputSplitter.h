#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringList>

namespace emberlin {

// Turns the bytes of each read into the pieces handed to a client: every
// complete line with its "\n", then the unfinished end of the read as it is.
// Each byte sequence that is not UTF-8 becomes U+FFFD, so no line around it is
// lost; a character cut in two by the end of a read is carried over to the next.
class OutputSplitter {
public:
    QStringList split(QByteArrayView bytes);

private:
    QByteArray cutCharacter_; // the start of a character the next read completes
    // A leading byte-order mark is output like any other character.
    QStringDecoder decoder_{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom};
};

} // namespace emberlin
