#pragma once

#include <QString>
#include <QStringList>

// The window's options as the burn start reads them.
struct BurnOptions {
    QString imagePath; // absolute
    bool leaveAppendable = false;
    bool verify = true;
    bool erase = true;
    QString speedTitle = QStringLiteral("max");
    QString deviceId; // already trimmed
};

// "1x" -> "1" ... "24x" -> "24"; any other title gives "max".
QString speedValueForTitle(const QString& title);

// The burn's full argument list, element 0 being toolPath.
QStringList burnArguments(const QString& toolPath, const BurnOptions& options);

// The listing's arguments (without the tool's path).
QStringList listingArguments();

// Leading and trailing blanks and tabs removed; line ends stay.
QString trimBlanksAndTabs(const QString& text);
