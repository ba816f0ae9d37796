// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/LineWriter.h"
#include "disctool/ProgressReporter.h"

#include <string>

namespace disctool {

// Progress for a person at a terminal: one sentence per step and a percentage
// that updates in place (or every ten percent when the output is not a
// terminal).
class HumanReporter : public ProgressReporter {
public:
    HumanReporter(LineWriter& out, std::string device);

    void askForDisc() override;
    void rejectMedium(MediumProblem problem) override;
    void askBeforeErasing(const std::string& held) override;
    void startErasing() override;
    void startFormatting() override;
    void enterPhase(BurnPhase phase) override;
    void showPercent(int percent) override;
    void reportSuccess() override;
    void reportFailure(const std::string& reason) override;
    void reportNoDrive(const std::string& detail) override;
    void reportBusy(const std::string& detail) override;
    void remark(const std::string& sentence) override;
    void reportFacts(const Facts& facts) override;

private:
    void say(const std::string& sentence);
    void endProgressLine();

    LineWriter& out_;
    std::string device_;
    std::string activity_;
    bool progressLineOpen_ = false;
    int lastPercentShown_ = -1;
};

} // namespace disctool
