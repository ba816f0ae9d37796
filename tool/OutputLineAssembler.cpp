#include "OutputLineAssembler.h"

#include "ToolTexts.h"

namespace {

// Calls in progress on this thread. Between calls the buffer holds no line end,
// so an outermost call needs to search only the new text, and a long unfinished
// line is not searched again for every piece. A call made from inside an
// interpretation finds the outer call's remaining lines still in the buffer and
// searches from its start.
thread_local int callsInProgress = 0;

class CallInProgress {
public:
    CallInProgress() { ++callsInProgress; }
    ~CallInProgress() { --callsInProgress; }
    CallInProgress(const CallInProgress&) = delete;
    CallInProgress& operator=(const CallInProgress&) = delete;
    bool nested() const { return callsInProgress > 1; }
};

} // namespace

void assembleOutputLines(QString& outputBuffer, const QString& piece,
                         const std::function<void(const QString&)>& interpret) {
    const CallInProgress call;
    qsizetype lineEnd = call.nested() ? 0 : outputBuffer.size();
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
