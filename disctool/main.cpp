// SPDX-License-Identifier: GPL-3.0-or-later
// emberlin-disctool: Emberlin's disc-image tool for Linux, built on libburn.

#include "disctool/Arguments.h"
#include "disctool/BurnFlow.h"
#include "disctool/DriveFactory.h"
#include "disctool/HelpText.h"
#include "disctool/HumanReporter.h"
#include "disctool/LibburnSession.h"
#include "disctool/LineWriter.h"
#include "disctool/Listing.h"
#include "disctool/OutsideText.h"
#include "disctool/PuppetStringsReporter.h"
#include "disctool/SignalAbort.h"
#include "disctool/VirtualBurners.h"
#include "emulator/EmulatorLaunch.h"
#include "protocol/ToolProtocol.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace disctool {
namespace {

constexpr int exitUsage = 2;

// How long a drive may stay unready before its disc counts as unusable;
// tests shorten it.
constexpr const char* unreadyLimitVariable = "EMBERLIN_DISCTOOL_UNREADY_MS";

std::chrono::milliseconds unreadyLimit() {
    const std::chrono::milliseconds standard = BurnRequest{}.unreadyLimit;
    const char* configured = std::getenv(unreadyLimitVariable);
    if (configured == nullptr) {
        return standard;
    }
    const std::string_view text(configured);
    std::int64_t milliseconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), milliseconds);
    if (error != std::errc() || end != text.data() + text.size() || milliseconds < 0) {
        return standard;
    }
    return std::chrono::milliseconds(milliseconds);
}

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

int burn(const BurnOptions& options, LineWriter& out, char** argv) {
    std::unique_ptr<ProgressReporter> reporter;
    if (options.puppetStrings) {
        reporter = std::make_unique<PuppetStringsReporter>(out);
    } else {
        reporter = std::make_unique<HumanReporter>(out, options.device);
    }
    // An emulated drive needs this program started again with the emulator.
    if (const std::optional<std::string> problem =
            emulator::launch::startEmulator(options.device, argv)) {
        reporter->reportFailure(*problem);
        return BurnFlow::exitFailed;
    }
    const SignalAbort abort;
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
    const int status = BurnFlow(*drive, *reporter, abort, options, unreadyLimit()).run();
    if (drive->grabbing()) {
        // A cancel while libburn still waits for the drive to become ready:
        // libburn cannot be shut down under its own waiting, so the tool ends
        // as it is. Nothing was written; the system closes the drive.
        std::_Exit(status);
    }
    return status;
}

} // namespace
} // namespace disctool

int main(int argc, char** argv) {
    using namespace disctool;
    LineWriter out(STDOUT_FILENO);
    const Arguments arguments = Arguments::parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (arguments.command()) {
    case Arguments::Command::Help:
        out.text(helpText());
        return BurnFlow::exitSucceeded;
    case Arguments::Command::List:
        return list(out);
    case Arguments::Command::Burn:
        return burn(arguments.burn(), out, argv);
    case Arguments::Command::Invalid:
        break;
    }
    if (arguments.puppetStrings()) {
        // The reader only understands its own texts.
        out.line(std::string(toolprotocol::failurePrefix) +
                 "Invalid arguments: " + outside::forMachines(arguments.problem()));
    } else {
        LineWriter err(STDERR_FILENO);
        err.line("emberlin-disctool: " + outside::forPeople(arguments.problem()));
        err.line("Try \"emberlin-disctool -help\".");
    }
    return exitUsage;
}
