// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/LineWriter.h"
#include "disctool/ProgressReporter.h"

namespace disctool {

// The machine-readable lines that Emberlin turns into its burn states.
class PuppetStringsReporter : public ProgressReporter {
public:
    explicit PuppetStringsReporter(LineWriter& out);

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
    LineWriter& out_;
};

} // namespace disctool
