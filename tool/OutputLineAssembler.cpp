#include "OutputLineAssembler.h"

#include "ToolTexts.h"

void assembleOutputLines(QString& outputBuffer, const QString& piece,
                         const std::function<void(const QString&)>& interpret) {
    // Between calls the buffer holds no line end, so the first one can only be
    // in the new text; a long unfinished line is not searched again.
    qsizetype lineEnd = outputBuffer.size();
    outputBuffer.append(piece);
    if (piece.contains(ToolText::InsertDisc)) {
        // The tool waits after the prompt without ending its line.
        outputBuffer.append(u'\n');
    }
    while ((lineEnd = outputBuffer.indexOf(u'\n', lineEnd)) >= 0) {
        const QString line = outputBuffer.left(lineEnd);
        // Qt erases from the front of a string by moving its start, so a flood
        // of lines costs no copying of the text behind them.
        outputBuffer.remove(0, lineEnd + 1);
        interpret(line);
        lineEnd = 0;
    }
}
