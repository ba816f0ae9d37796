// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/HumanReporter.h"

#include "disctool/OutsideText.h"
#include "protocol/ToolProtocol.h"

#include <utility>

namespace disctool {

HumanReporter::HumanReporter(LineWriter& out, std::string device)
    : out_(out)
    , device_(std::move(device)) {}

void HumanReporter::askForDisc() {
    say("Please insert a writable disc into " + device_ + "...");
}

void HumanReporter::rejectMedium(MediumProblem problem) {
    switch (problem) {
    case MediumProblem::NotEraseable:
        say("This disc holds data and cannot be erased. Please insert another disc...");
        break;
    case MediumProblem::NotWritable:
        say("This disc cannot be written. Please insert a writable disc...");
        break;
    case MediumProblem::NoSpace:
        say("The image does not fit on this disc. Please insert a larger one...");
        break;
    }
}

void HumanReporter::askBeforeErasing(const std::string& held) {
    say("This disc holds " + held + ". Type \"" + std::string(toolprotocol::answerErase) +
        "\" and Enter to erase it, or \"" + std::string(toolprotocol::answerKeep) +
        "\" to keep it and insert another disc:");
}

void HumanReporter::startErasing() {
    say("Erasing the disc...");
    activity_ = "Erasing";
}

void HumanReporter::startFormatting() {
    say("Formatting the disc...");
    activity_ = "Formatting";
}

void HumanReporter::enterPhase(BurnPhase phase) {
    switch (phase) {
    case BurnPhase::Preparing:
        say("Preparing the data...");
        activity_.clear();
        break;
    case BurnPhase::Writing:
        say("Writing the track...");
        activity_ = "Writing";
        break;
    case BurnPhase::Closing:
        say("Closing the session...");
        activity_.clear();
        break;
    case BurnPhase::Finishing:
        say("Finishing the burn...");
        activity_.clear();
        break;
    case BurnPhase::Verifying:
        say("Verifying the disc against the image...");
        activity_ = "Verifying";
        break;
    }
}

void HumanReporter::showPercent(int percent) {
    if (activity_.empty() || percent < 0 || percent == lastPercentShown_) {
        return;
    }
    if (out_.isTerminal()) {
        out_.text("\r" + activity_ + ": " + std::to_string(percent) + "%");
        progressLineOpen_ = true;
    } else if (percent / 10 != lastPercentShown_ / 10 || percent == 100) {
        out_.line(activity_ + ": " + std::to_string(percent) + "%");
    } else {
        return;
    }
    lastPercentShown_ = percent;
}

void HumanReporter::reportSuccess() {
    say("Burn completed successfully.");
}

void HumanReporter::reportFailure(const std::string& reason) {
    say("burn failed - " + outside::forPeople(reason));
}

void HumanReporter::reportNoDrive(const std::string& detail) {
    say("No CD/DVD drive at " + device_ +
        (detail.empty() ? "" : " (" + outside::forPeople(detail) + ")") + ".");
}

void HumanReporter::reportBusy(const std::string& detail) {
    say("The device is being used by another application" +
        (detail.empty() ? "" : " (" + outside::forPeople(detail) + ")") + ".");
}

void HumanReporter::remark(const std::string& sentence) {
    say(sentence);
}

void HumanReporter::reportFacts(const Facts& facts) {
    // People get the digests, the proof of the burn; the other figures they
    // see as sentences and percentages already.
    for (const auto& [key, value] : facts) {
        if (key == toolprotocol::factImageSha256) {
            say("SHA-256 of the image as written: " + value);
        } else if (key == toolprotocol::factReadbackSha256) {
            say("SHA-256 of the disc as read back: " + value);
        }
    }
}

void HumanReporter::say(const std::string& sentence) {
    endProgressLine();
    lastPercentShown_ = -1;
    out_.line(sentence);
}

void HumanReporter::endProgressLine() {
    if (progressLineOpen_) {
        out_.text("\n");
        progressLineOpen_ = false;
    }
}

} // namespace disctool
