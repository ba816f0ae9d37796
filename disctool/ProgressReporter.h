// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace disctool {

enum class MediumProblem { NotEraseable, NotWritable, NoSpace };

enum class BurnPhase { Preparing, Writing, Closing, Finishing, Verifying };

// Figures about the burn, each a key of the tool's protocol and its value.
using Facts = std::vector<std::pair<std::string_view, std::string>>;

// Tells the caller how the burn goes: a program reading machine-readable
// lines, or a person at a terminal.
class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;

    // The drive is empty; shown once per burn.
    virtual void askForDisc() = 0;
    virtual void rejectMedium(MediumProblem problem) = 0;
    // Asks whether to erase the disc, which holds `held` (for people); the
    // answer comes on standard input.
    virtual void askBeforeErasing(const std::string& held) = 0;
    virtual void startErasing() = 0;
    virtual void startFormatting() = 0;
    virtual void enterPhase(BurnPhase phase) = 0;
    // Negative: busy without a figure.
    virtual void showPercent(int percent) = 0;
    virtual void reportSuccess() = 0;
    virtual void reportFailure(const std::string& reason) = 0;
    // The details are for people; Emberlin knows these cases by fixed texts.
    virtual void reportNoDrive(const std::string& detail) = 0;
    virtual void reportBusy(const std::string& detail) = 0;
    // A remark for people (what a refused disc holds, the speed the drive
    // took, a verify that may read the drive's cache); machine-readable
    // output has no line for it.
    virtual void remark(const std::string& sentence) = 0;
    // Figures for an estimate of the time left and for a record of the burn.
    virtual void reportFacts(const Facts& facts) = 0;
};

} // namespace disctool
