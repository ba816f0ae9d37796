#include "tool/BurnCommand.h"

namespace emberlin {

QString speedValueForTitle(const QString& title) {
    for (const toolprotocol::Speed& speed : toolprotocol::speeds) {
        if (title == qtText(speed.title))
            return qtText(speed.value);
    }
    return qtText(toolprotocol::maximumSpeed);
}

QStringList burnArguments(const QString& toolPath, const QString& imagePath,
                          const BurnChoices& choices, const QString& deviceId, BurnTool tool) {
    QStringList arguments{
        toolPath,
        qtText(toolprotocol::burnCommand),
        imagePath,
        qtText(choices.verify ? toolprotocol::verifyOption : toolprotocol::noVerifyOption),
        qtText(choices.leaveAppendable ? toolprotocol::leaveOpenOption : toolprotocol::closeOption),
        qtText(toolprotocol::speedOption),
        speedValueForTitle(choices.speedTitle),
    };
    if (choices.erase) {
        arguments << qtText(toolprotocol::eraseOption);
        if (tool == BurnTool::Ours)
            arguments << qtText(toolprotocol::askBeforeErasingOption);
    }
    arguments << qtText(toolprotocol::machineReadableOption) << qtText(toolprotocol::deviceOption)
              << deviceId;
    return arguments;
}

QStringList listingArguments() {
    return {qtText(toolprotocol::burnCommand), qtText(toolprotocol::listOption)};
}

QString trimBlanksAndTabs(const QString& text) {
    const auto isBlankOrTab = [](QChar c) {
        return c == u' ' || c == u'\t';
    };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrTab(text[begin]))
        ++begin;
    while (end > begin && isBlankOrTab(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace emberlin
