#pragma once

#include "tool/BurnCommand.h"
#include "tool/BurnState.h"
#include "tool/FactLine.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace emberlin {

// The checksum published beside an image, as it was compared before a burn.
struct ChecksumCheck {
    QString fileName;  // "SHA256SUMS"
    QString algorithm; // "SHA-256", "SHA-512"
    // The image's SHA-256 when compared: a match holds for what was burned
    // only where the tool reports having read the same.
    QString fileSha256;
    // It did not match, and the person chose to burn anyway.
    bool burnedAnyway = false;
};

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
    // What the disc held that the person chose to erase, as the tool told it;
    // the erase itself is the tool's `erase` fact.
    QString erasedDiscHeld;
    // The image's SHA-256 computed here, where the tool did not report it.
    QString computedImageSha256;
    // The published checksum the image was compared with before the burn.
    std::optional<ChecksumCheck> checksum;
};

} // namespace emberlin
