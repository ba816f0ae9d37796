// SPDX-License-Identifier: GPL-3.0-or-later
#include "PuppetStringsReporter.h"

#include <string>

namespace disctool {

PuppetStringsReporter::PuppetStringsReporter(LineWriter& out)
    : out_(out) {}

void PuppetStringsReporter::askForDisc() {
    // No line end: the reader treats the prompt as a line of its own.
    out_.text("Please insert a disc:");
}

void PuppetStringsReporter::rejectMedium(MediumProblem problem) {
    switch (problem) {
    case MediumProblem::NotEraseable:
        out_.line("Media is not eraseable");
        break;
    case MediumProblem::NotWritable:
        out_.line("Media is not writable");
        break;
    case MediumProblem::NoSpace:
        out_.line("Media does not have enough free space");
        break;
    }
}

void PuppetStringsReporter::startErasing() {
    // Two at once: the first only arms the window's erase state, the second
    // enters it, which also takes away a cancel that would cut the erase short.
    out_.line("PERCENT:-1");
    out_.line("PERCENT:-1");
}

void PuppetStringsReporter::startFormatting() {
    // Formatting cannot be cut short either: shown to the window as erasing.
    startErasing();
}

void PuppetStringsReporter::enterPhase(BurnPhase phase) {
    switch (phase) {
    case BurnPhase::Preparing:
        out_.line("Preparing data for burn");
        break;
    case BurnPhase::Writing:
        out_.line("Writing track");
        break;
    case BurnPhase::Closing:
        out_.line("Closing session");
        break;
    case BurnPhase::Finishing:
        out_.line("Finishing burn");
        break;
    case BurnPhase::Verifying:
        out_.line("Verifying burn");
        break;
    }
}

void PuppetStringsReporter::showPercent(int percent) {
    out_.line("PERCENT:" + std::to_string(percent < 0 ? -1 : percent));
}

void PuppetStringsReporter::reportSuccess() {
    out_.line("Burn completed successfully");
}

void PuppetStringsReporter::reportFailure(const std::string& reason) {
    // The reader shows the line from its fifteenth character on.
    out_.line("burn failed - " + reason);
}

void PuppetStringsReporter::reportNoDrive(const std::string& /*detail*/) {
    out_.line("no CD/DVD drives present");
}

void PuppetStringsReporter::reportBusy(const std::string& /*detail*/) {
    out_.line("The device is being used by another application");
}

void PuppetStringsReporter::remark(const std::string& /*sentence*/) {}

} // namespace disctool
