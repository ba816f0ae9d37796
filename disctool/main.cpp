// SPDX-License-Identifier: GPL-3.0-or-later
// emberlin-disctool: Emberlin's disc-image tool for Linux, built on libburn.

#include "Arguments.h"
#include "BurnFlow.h"
#include "DriveFactory.h"
#include "HelpText.h"
#include "HumanReporter.h"
#include "LibburnSession.h"
#include "LineWriter.h"
#include "Listing.h"
#include "PuppetStringsReporter.h"
#include "SignalAbort.h"
#include "ToolProtocol.h"
#include "VirtualBurners.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int exitUsage = 2;

int list(LineWriter& out) {
    std::vector<ListedBurner> burners = Listing().opticalDrives();
    if (const char* configured = std::getenv(virtualBurnersVariable)) {
        for (ListedBurner& burner : virtualBurners(configured)) {
            burners.push_back(std::move(burner));
        }
    }
    if (burners.empty()) {
        out.line(toolprotocol::noDrivesPresent);
    }
    // Every line becomes a menu entry: print the pairs and nothing else.
    for (const ListedBurner& burner : burners) {
        out.line(burner.name);
        out.line(burner.device);
    }
    return BurnFlow::exitSucceeded;
}

int burn(const BurnOptions& options, LineWriter& out) {
    const SignalAbort abort;
    std::unique_ptr<ProgressReporter> reporter;
    if (options.puppetStrings) {
        reporter = std::make_unique<PuppetStringsReporter>(out);
    } else {
        reporter = std::make_unique<HumanReporter>(out, options.device);
    }
    LibburnSession session;
    if (!session.initialised()) {
        reporter->reportFailure("libburn could not be initialised");
        return BurnFlow::exitFailed;
    }
    std::string problem;
    const std::unique_ptr<Drive> drive = makeDrive(options.device, session, problem);
    if (!drive) {
        reporter->reportFailure(problem);
        return BurnFlow::exitFailed;
    }
    return BurnFlow(*drive, *reporter, abort, options).run();
}

} // namespace

int main(int argc, char** argv) {
    LineWriter out(STDOUT_FILENO);
    const Arguments arguments = Arguments::parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (arguments.command()) {
    case Arguments::Command::Help:
        out.text(helpText());
        return BurnFlow::exitSucceeded;
    case Arguments::Command::List:
        return list(out);
    case Arguments::Command::Burn:
        return burn(arguments.burn(), out);
    case Arguments::Command::Invalid:
        break;
    }
    if (arguments.puppetStrings()) {
        // The reader only understands its own texts.
        out.line(std::string(toolprotocol::failurePrefix) +
                 "Invalid arguments: " + arguments.problem());
    } else {
        LineWriter err(STDERR_FILENO);
        err.line("emberlin-disctool: " + arguments.problem());
        err.line("Try \"emberlin-disctool -help\".");
    }
    return exitUsage;
}
