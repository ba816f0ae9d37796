#include "tool/ToolQuestion.h"

#include "tool/ProtocolText.h"

namespace emberlin {

std::optional<ToolQuestion> questionOf(const QString& line) {
    // The whole line: a status that merely quotes the question asks nothing.
    if (line == qtText(toolprotocol::eraseQuestion))
        return ToolQuestion::EraseDiscHoldingData;
    return std::nullopt;
}

QString eraseAnswer(bool erase) {
    return QString(qtText(erase ? toolprotocol::answerErase : toolprotocol::answerKeep)) + u'\n';
}

} // namespace emberlin
