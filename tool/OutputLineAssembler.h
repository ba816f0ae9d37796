#pragma once

#include <QString>
#include <QStringView>
#include <functional>

namespace emberlin {

// Cuts the tool's output, arriving in pieces of any size, into lines (without
// their "\n") and hands each to the interpretation, in order. The disc prompt
// ends its line right after itself, wherever it is completed, since the tool
// waits after it without a line end. A line longer than longestLine (or the
// bound given) is cut there, so a tool that never ends its line costs bounded
// memory. Each character is searched once or twice, so the cost is linear in
// the output.
class OutputLineAssembler {
public:
    using Interpret = std::function<void(const QString& line)>;
    static constexpr qsizetype longestLine = 1 << 20;

    explicit OutputLineAssembler(qsizetype bound = longestLine)
        : bound_(bound) {}

    // Appends a piece and interprets every line it completes. Output appended
    // from inside an interpretation (a modal alert's event loop) comes after
    // the lines still waiting here; an interpretation that clears the
    // assembler (a new burn) ends the old output.
    void append(QStringView piece, const Interpret& interpret);
    // The tool has exited: what is left is its last line.
    void finish(const Interpret& interpret);
    void clear();

private:
    bool takeLine(QString& line);

    qsizetype bound_;
    QString buffer_;
    qsizetype searched_ = 0; // buffer_ holds no line end and no whole prompt before this
};

} // namespace emberlin
