#pragma once

#include "tool/ProtocolText.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

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

// The tool that burns: ours, which can ask before it erases a disc that holds
// data, or the system's own (macOS), whose command line knows no such question.
enum class BurnTool { Ours, System };
#ifdef Q_OS_MACOS
inline constexpr BurnTool platformBurnTool = BurnTool::System;
#else
inline constexpr BurnTool platformBurnTool = BurnTool::Ours;
#endif

// The burn's full argument list, element 0 being toolPath. deviceId is used as
// it stands (already trimmed). Our tool is told to ask before erasing.
QStringList burnArguments(const QString& toolPath, const QString& imagePath,
                          const BurnChoices& choices, const QString& deviceId,
                          BurnTool tool = platformBurnTool);

// The listing's arguments (without the tool's path).
QStringList listingArguments();

// Leading and trailing blanks and tabs removed; line ends stay.
QString trimBlanksAndTabs(const QString& text);

} // namespace emberlin
