#pragma once

#include "tool/ProtocolText.h"

#include <QString>
#include <QStringList>

namespace emberlin {

// The window's options for a burn; the defaults are those of a first run.
struct BurnChoices {
    bool leaveAppendable = false;
    bool verify = true;
    bool erase = true;
    QString speedTitle = qtText(toolprotocol::maximumSpeed);
    bool operator==(const BurnChoices&) const = default;
};

// "1x" -> "1" ... "24x" -> "24"; any other title gives "max".
QString speedValueForTitle(const QString& title);

// The burn's full argument list, element 0 being toolPath. deviceId is used as
// it stands (already trimmed).
QStringList burnArguments(const QString& toolPath, const QString& imagePath,
                          const BurnChoices& choices, const QString& deviceId);

// The listing's arguments (without the tool's path).
QStringList listingArguments();

// Leading and trailing blanks and tabs removed; line ends stay.
QString trimBlanksAndTabs(const QString& text);

} // namespace emberlin
