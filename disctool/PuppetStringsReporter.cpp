// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/PuppetStringsReporter.h"

#include "disctool/OutsideText.h"
#include "protocol/ToolProtocol.h"

#include <string>

namespace disctool {

PuppetStringsReporter::PuppetStringsReporter(LineWriter& out)
    : out_(out) {}

void PuppetStringsReporter::askForDisc() {
    // No line end: the reader treats the prompt as a line of its own.
    out_.text(toolprotocol::insertDisc);
}

void PuppetStringsReporter::rejectMedium(MediumProblem problem) {
    switch (problem) {
    case MediumProblem::NotEraseable:
        out_.line(toolprotocol::mediaNotEraseable);
        break;
    case MediumProblem::NotWritable:
        out_.line(toolprotocol::mediaNotWritable);
        break;
    case MediumProblem::NoSpace:
        out_.line(toolprotocol::notEnoughSpace);
        break;
    }
}

void PuppetStringsReporter::askBeforeErasing(const std::string& /*held*/) {
    // What the disc holds went out as a fact just before.
    out_.line(toolprotocol::eraseQuestion);
}

void PuppetStringsReporter::startErasing() {
    // Two at once: the first only arms the window's erase state, the second
    // enters it, which also takes away a cancel that would cut the erase short.
    out_.line(std::string(toolprotocol::percentMarker) + "-1");
    out_.line(std::string(toolprotocol::percentMarker) + "-1");
}

void PuppetStringsReporter::startFormatting() {
    // Formatting cannot be cut short either: shown to the window as erasing.
    startErasing();
}

void PuppetStringsReporter::enterPhase(BurnPhase phase) {
    switch (phase) {
    case BurnPhase::Preparing:
        out_.line(toolprotocol::preparingData);
        break;
    case BurnPhase::Writing:
        out_.line(toolprotocol::writingTrack);
        break;
    case BurnPhase::Closing:
        out_.line(toolprotocol::closingSession);
        break;
    case BurnPhase::Finishing:
        out_.line(toolprotocol::finishingBurn);
        break;
    case BurnPhase::Verifying:
        out_.line(toolprotocol::verifyingBurn);
        break;
    }
}

void PuppetStringsReporter::showPercent(int percent) {
    out_.line(std::string(toolprotocol::percentMarker) +
              std::to_string(percent < 0 ? -1 : percent));
}

void PuppetStringsReporter::reportSuccess() {
    out_.line(toolprotocol::burnCompleted);
}

void PuppetStringsReporter::reportFailure(const std::string& reason) {
    // The reader shows the line from its fifteenth character on.
    out_.line(std::string(toolprotocol::failurePrefix) + outside::forMachines(reason));
}

void PuppetStringsReporter::reportNoDrive(const std::string& /*detail*/) {
    out_.line(toolprotocol::noDrivesPresent);
}

void PuppetStringsReporter::reportBusy(const std::string& /*detail*/) {
    out_.line(toolprotocol::deviceBusy);
}

void PuppetStringsReporter::remark(const std::string& /*sentence*/) {}

void PuppetStringsReporter::reportFacts(const Facts& facts) {
    std::string line(toolprotocol::factMarker);
    for (const auto& [key, value] : facts) {
        if (line.size() > toolprotocol::factMarker.size()) {
            line += ' ';
        }
        line.append(key).append(1, '=');
        for (const char c : value) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte <= ' ' || byte > '~' || c == '%') {
                constexpr std::string_view hex = "0123456789ABCDEF";
                line.append(1, '%').append(1, hex[byte >> 4]).append(1, hex[byte & 0x0f]);
            } else {
                line.append(1, c);
            }
        }
    }
    out_.line(line);
}

} // namespace disctool
