#pragma once

#include "tool/BurnCommand.h"
#include "tool/BurnState.h"
#include "tool/FactLine.h"

#include <QDateTime>
#include <QString>
#include <vector>

namespace emberlin {

// What a receipt tells of one burn.
struct BurnRecord {
    QString imagePath;
    qint64 imageBytes = 0;
    QString burnerTitle;
    BurnChoices choices;
    QDateTime started;
    // Each state the burn went through from Erasing on, with its times.
    struct Phase {
        BurnState burnState;
        QDateTime start;
        QDateTime end;
    };
    std::vector<Phase> phases;
    bool ended = false;
    bool succeeded = false;
    QString status;
    QDateTime endedAt;
    ToolFacts facts;
    // The image's SHA-256 computed here, where the tool did not report it.
    QString computedImageSha256;
    // The checksum file beside the image whose SHA-256 it matched before the
    // burn ("SHA256SUMS"); empty where none was found or it did not match.
    QString matchedChecksumFile;
};

} // namespace emberlin
