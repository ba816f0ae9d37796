#pragma once

#include <QString>
#include <functional>

// Appends a piece of tool output to outputBuffer and hands every complete line
// (without its "\n") to interpret, in order. A piece that contains the disc
// prompt completes its line at once. Each line leaves the buffer before it is
// interpreted, so an interpretation that empties the buffer (a new burn started
// from inside an alert) drops the rest of the old output instead of corrupting it.
void assembleOutputLines(QString& outputBuffer, const QString& piece,
                         const std::function<void(const QString&)>& interpret);
