#include "tool/ProgressInterpreter.h"

#include "tests/support/TestSupport.h"

#include <optional>
#include <string>

using namespace emberlin;

namespace {

using Effects = std::vector<std::string>;

const char* const stateNames[] = {"Listing",      "NoBurners", "Ready",   "AwaitingDiscToErase",
                                  "AwaitingDisc", "Erasing",   "Burning", "Verifying",
                                  "Terminating"};

// One readable word per effect, so a table row reads like the behaviour it pins.
struct Describe {
    // clang-format off
    std::string operator()(const effect::ShowStatus& e) const { return "status:" + e.text.toStdString(); }
    std::string operator()(const effect::SetBurnState& e) const { return std::string("state:") + stateNames[static_cast<int>(e.state)]; }
    std::string operator()(const effect::ProgressIndeterminate&) const { return "indeterminate"; }
    std::string operator()(const effect::ProgressValue& e) const { return "value:" + QString::number(e.fraction).toStdString(); }
    std::string operator()(const effect::HideProgress&) const { return "hide"; }
    std::string operator()(const effect::PlaySuccessSound&) const { return "success"; }
    std::string operator()(const effect::PlayFailureSound&) const { return "failure"; }
    std::string operator()(const effect::CriticalAlert& e) const {
        return "alert:" + (e.message + "|" + e.informative + "|" + e.button).toStdString();
    }
    std::string operator()(const effect::SetIgnoreOutput&) const { return "ignore"; }
    std::string operator()(const effect::ScheduleRescan&) const { return "rescan"; }
    std::string operator()(const effect::ClearBurners&) const { return "clear"; }
    std::string operator()(const effect::AddBurnerName& e) const { return "name:" + e.title.toStdString(); }
    std::string operator()(const effect::AddBurnerDevice& e) const { return "device:" + e.device.toStdString(); }
    std::string operator()(const effect::ToggleExpectBurnerName&) const { return "toggle"; }
    // clang-format on
};

Effects interpret(const QString& line, BurnState state, bool erase = false, bool expectName = true,
                  bool ignoreOutput = false) {
    Effects described;
    for (const InterpreterEffect& e : interpretLine(line, {state, ignoreOutput, erase, expectName}))
        described.push_back(std::visit(Describe{}, e));
    return described;
}

const std::string lostAlert = "alert:Burn failed|The selected burner became unavailable.|Rescan";
const std::string noBurners = "status:No available burners were found on your system.";
const std::string insertDisc = "status:Please insert a writable disc...";
const std::string completed =
    "status:Burn completed successfully - ready to burn another disk image.";
const std::string busy =
    "status:Unable to get control of the burner - it may be being used by another application.";

// The outcome of one tool text in every state: a listing line becomes a name
// line unless `listing` says otherwise; in the burn states (Ready up to
// Terminating) the outcome is `burning` unless an exception names the state
// (and, where it matters, the erase option).
struct Exception {
    BurnState state;
    std::optional<bool> erase;
    Effects effects;
};
struct Row {
    std::string line;
    Effects burning;
    std::vector<Exception> exceptions = {};
    Effects listing = {};
};

// clang-format off
const Row rows[] = {
    {"no CD/DVD drives present", {"status:The selected burner became unavailable.", "failure", lostAlert, "ignore", "rescan"}, {}, {"state:NoBurners", noBurners, "clear"}},
    {"Please insert a disc:", {}, {{BurnStateReady, false, {insertDisc, "state:AwaitingDisc"}}, {BurnStateReady, true, {insertDisc, "state:AwaitingDiscToErase"}}, {BurnStateAwaitingDiscToErase, {}, {"state:Burning"}}}},
    {"Media is not eraseable", {"status:Media is not erasable.  Turn off the 'erase' option and try again, or use erasable media.", "failure"}},
    {"Media is not writable", {"status:Media is not writable - please insert a writable disc...", "failure"}},
    {"Media does not have enough free space", {"status:Not enough space on this disc - please insert another...", "failure", "hide"}},
    {"Preparing data for burn", {"status:Starting...", "state:Burning", "indeterminate"}},
    {"Writing track", {"status:Writing track..."}},
    {"Closing session", {"status:Closing session...", "indeterminate"}},
    {"Finishing burn", {"status:Finishing burn..."}},
    {"Verifying burn", {"status:Verifying...", "state:Verifying"}},
    {"PERCENT:50", {"value:0.5"}, {{BurnStateReady, true, {"state:AwaitingDiscToErase"}}, {BurnStateAwaitingDiscToErase, {}, {"state:Erasing", "status:Erasing...", "value:0.5"}}}},
    {"PERCENT:-1", {"indeterminate"}, {{BurnStateReady, true, {"state:AwaitingDiscToErase"}}, {BurnStateAwaitingDiscToErase, {}, {"state:Erasing", "status:Erasing...", "indeterminate"}}}},
    {"Burn completed successfully", {completed, "state:Ready", "ignore", "success"}},
    {"The device is being used by another application", {"failure", busy, "state:Ready"}},
    {"Tool reports: burn failed: no medium", {"status:burn failed: no medium", "state:Ready", "ignore", "failure", "alert:Burn failed|burn failed: no medium|OK"}},
    {"Nothing the program knows", {}},
    {"FACT: medium=cd-rw capacity=737280000 image-bytes=9 write-kbps=4234 read-kbps=7056 erase=full bytes-written=2048 bytes-verified=0 image-sha256=ab readback-sha256=cd", {}},
};
// clang-format on

Effects expectedIn(const Row& row, BurnState state, bool erase) {
    if (state == BurnStateListing)
        return row.listing.empty() ? Effects{"name:" + row.line, "toggle"} : row.listing;
    if (state == BurnStateNoBurners)
        return {};
    for (const Exception& exception : row.exceptions) {
        if (exception.state == state && (!exception.erase || *exception.erase == erase))
            return exception.effects;
    }
    return row.burning;
}

TEST(ProgressInterpreter, EveryToolTextInEveryState) {
    for (const Row& row : rows) {
        for (int number = 0; number <= static_cast<int>(BurnStateTerminating); ++number) {
            const auto state = BurnState(number);
            for (const bool erase : {false, true}) {
                const QString line = QString::fromStdString(row.line);
                EXPECT_EQ(interpret(line, state, erase), expectedIn(row, state, erase))
                    << row.line << " in " << stateNames[number] << ", erase " << erase;
                EXPECT_EQ(interpret(line, state, erase, true, true), Effects{}) << "ignored";
            }
        }
    }
}

struct LineCase {
    QString line;
    BurnState state;
    Effects effects;
    bool erase = false;
    bool expectName = true;
};

// clang-format off
const LineCase lineCases[] = {
    // The listing: a name line's title ends before its first "via", untrimmed.
    {"PIONEER DVD-RW  DVR-XD11 via USB", BurnStateListing, {"name:PIONEER DVD-RW  DVR-XD11 ", "toggle"}},
    {"  MATSHITA DVD-R via ATAPI via bus", BurnStateListing, {"name:  MATSHITA DVD-R ", "toggle"}},
    {"Aviation drive via USB", BurnStateListing, {"name:A", "toggle"}},
    {"Drive Via USB", BurnStateListing, {"name:Drive Via USB", "toggle"}},
    {"", BurnStateListing, {"name:", "toggle"}},
    {" 1,0,0 via x\r", BurnStateListing, {"device: 1,0,0 via x\r", "toggle"}, false, false},
    {"Drives: no CD/DVD drives present.", BurnStateListing, {"state:NoBurners", noBurners, "clear"}, false, false},
    // Later tests of a line see the state earlier ones set.
    {"PERCENT:50 Preparing data for burn", BurnStateReady, {"status:Starting...", "state:Burning", "indeterminate", "value:0.5"}, true},
    {"PERCENT:20 Please insert a disc:", BurnStateReady, {insertDisc, "state:AwaitingDiscToErase", "state:Erasing", "status:Erasing...", "value:0.2"}, true},
    {"PERCENT:20 Please insert a disc:", BurnStateReady, {insertDisc, "state:AwaitingDisc", "value:0.2"}},
    {"Please insert a disc: Verifying burn", BurnStateAwaitingDiscToErase, {"state:Burning", "status:Verifying...", "state:Verifying"}},
    {"PERCENT:-1 Burn completed successfully", BurnStateReady, {"state:AwaitingDiscToErase"}, true},
    {"Burn completed successfully; burn failed", BurnStateVerifying, {completed, "state:Ready", "ignore", "success", "status: successfully; burn failed", "state:Ready", "ignore", "failure", "alert:Burn failed| successfully; burn failed|OK"}},
    // The busy burner ends the line before the failure test: no alert.
    {"The device is being used by another application: burn failed", BurnStateBurning, {"failure", busy, "state:Ready"}},
    // The failure's reason starts at index 14, counted in UTF-16 units.
    {"burn failed", BurnStateBurning, {"status:burn failed", "state:Ready", "ignore", "failure", "alert:Burn failed|burn failed|OK"}},
    {"a burn failed", BurnStateBurning, {"status:a burn failed", "state:Ready", "ignore", "failure", "alert:Burn failed|a burn failed|OK"}},
    {"ab burn failed", BurnStateBurning, {"status:", "state:Ready", "ignore", "failure", "alert:Burn failed||OK"}},
    {"💿💿💿💿💿💿💿burn failed!", BurnStateBurning, {"status:burn failed!", "state:Ready", "ignore", "failure", "alert:Burn failed|burn failed!|OK"}},
    {"Tool reports: Burn failed", BurnStateBurning, {}},
    // The value is read from index 8 wherever the marker stands.
    {"  PERCENT:50", BurnStateBurning, {"value:0"}},
    {"PERCENT:  12.5", BurnStateBurning, {"value:0.125"}},
    {"PERCENT:abc", BurnStateBurning, {"value:0"}},
    {"PERCENT:150", BurnStateBurning, {"value:1.5"}}, // the window clamps
    {"PERCENT:-0.5", BurnStateBurning, {"indeterminate"}},
    {"PERCENT:1e99", BurnStateBurning, {"value:inf"}},
};
// clang-format on

TEST(ProgressInterpreter, EffectsOfSingleLines) {
    for (const LineCase& c : lineCases) {
        EXPECT_EQ(interpret(c.line, c.state, c.erase, c.expectName), c.effects)
            << c.line.toStdString();
    }
}

// Whether a line ends the burn, or refuses the disc while the burn goes on.
TEST(ProgressInterpreter, WhatClosesABurnAndWhatRefusesADisc) {
    struct Case {
        QString line;
        bool closes;
        bool refuses;
    };
    const Case cases[] = {
        {"Burn completed successfully", true, false},
        {"x: The device is being used by another application", true, false},
        {"Tool reports: burn failed: no medium", true, false},
        {"no CD/DVD drives present", true, false},
        {"Verifying burn", false, false},
        {"PERCENT:-1 Burn completed successfully", false, false}, // only arms the erase
        {"Media is not writable", false, true},
        {"Media is not eraseable", false, true},
        {"Media does not have enough free space", false, true},
    };
    for (const auto& [line, closes, refuses] : cases) {
        const auto effects = interpretLine(line, {BurnStateReady, false, true, false});
        EXPECT_EQ(closesBurn(effects), closes) << line.toStdString();
        EXPECT_EQ(refusesDisc(effects), refuses) << line.toStdString();
    }
}

} // namespace
