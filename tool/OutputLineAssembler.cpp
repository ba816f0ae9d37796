#include "OutputLineAssembler.h"

#include "ToolTexts.h"

void assembleOutputLines(QString& outputBuffer, const QString& piece,
                         const std::function<void(const QString&)>& interpret) {
    outputBuffer.append(piece);
    if (piece.contains(ToolText::InsertDisc)) {
        // The tool waits after the prompt without ending its line.
        outputBuffer.append(u'\n');
    }
    // Searched from the start each time: an interpretation may have appended
    // output of its own (from inside a modal alert) behind the lines still
    // waiting here, and those must come first. Between calls the buffer holds
    // only an unfinished line, so this costs little.
    qsizetype lineEnd;
    while ((lineEnd = outputBuffer.indexOf(u'\n')) >= 0) {
        const QString line = outputBuffer.left(lineEnd);
        // Qt erases from the front of a string by moving its start, so a flood
        // of lines costs no copying of the text behind them.
        outputBuffer.remove(0, lineEnd + 1);
        interpret(line);
    }
}
