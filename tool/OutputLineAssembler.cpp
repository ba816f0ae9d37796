#include "tool/OutputLineAssembler.h"

#include "tool/ProtocolText.h"

#include <algorithm>

namespace emberlin {

namespace {
constexpr QLatin1StringView prompt = qtText(toolprotocol::insertDisc);
} // namespace

void OutputLineAssembler::append(QStringView piece, const Interpret& interpret) {
    buffer_.append(piece);
    QString line;
    while (takeLine(line))
        interpret(line);
}

void OutputLineAssembler::finish(const Interpret& interpret) {
    append({}, interpret);
    if (buffer_.isEmpty())
        return;
    const QString line = std::exchange(buffer_, {});
    searched_ = 0;
    interpret(line);
}

void OutputLineAssembler::clear() {
    buffer_.clear();
    searched_ = 0;
}

bool OutputLineAssembler::takeLine(QString& line) {
    const QStringView text(buffer_);
    const qsizetype lineEndAt = text.indexOf(u'\n', searched_);
    const qsizetype searchEnd = lineEndAt < 0 ? text.size() : lineEndAt;
    // The prompt may have begun in text searched before.
    const qsizetype promptFrom = std::max<qsizetype>(0, searched_ - (prompt.size() - 1));
    qsizetype promptAt = text.mid(promptFrom, searchEnd - promptFrom).indexOf(prompt);
    if (promptAt >= 0)
        promptAt += promptFrom;

    qsizetype cut = promptAt >= 0 ? promptAt + prompt.size() : lineEndAt;
    qsizetype skip = promptAt < 0 && lineEndAt >= 0 ? 1 : 0; // the line end itself
    // No line end or whole prompt before this position.
    const qsizetype clean = promptAt >= 0 ? cut - 1 : searchEnd;
    // Cut only once a character beyond the bound has arrived: a line end
    // right after the bound ends that line, whichever read brings it.
    if ((cut < 0 || cut > bound_) && text.size() > bound_) {
        cut = bound_;
        skip = 0;
        searched_ = clean - bound_;
    } else if (cut < 0) {
        searched_ = text.size();
        return false;
    } else {
        searched_ = 0;
    }
    line = buffer_.left(cut);
    // Qt erases from the front of a string by moving its start: no copying.
    buffer_.remove(0, cut + skip);
    return true;
}

} // namespace emberlin
