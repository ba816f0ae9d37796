#include "ProgressInterpreter.h"

#include <gmock/gmock.h>
#include <optional>
#include <string>

using namespace emberlin;

namespace {

using Effects = std::vector<std::string>;

const char* const StateNames[] = {"Listing",      "NoBurners", "Ready",   "AwaitingDiscToErase",
                                  "AwaitingDisc", "Erasing",   "Burning", "Verifying",
                                  "Terminating"};

// One readable word per effect, so a table row reads like the behaviour it pins.
struct Describe {
    std::string operator()(const effect::ShowStatus& e) const {
        return "status:" + e.text.toStdString();
    }
    std::string operator()(const effect::SetBurnState& e) const {
        return std::string("state:") + StateNames[e.state];
    }
    std::string operator()(const effect::ProgressIndeterminate&) const { return "indeterminate"; }
    std::string operator()(const effect::ProgressValue& e) const {
        return "value:" + QString::number(e.fraction).toStdString();
    }
    std::string operator()(const effect::HideProgress&) const { return "hide"; }
    std::string operator()(const effect::PlaySuccessSound&) const { return "success"; }
    std::string operator()(const effect::PlayFailureSound&) const { return "failure"; }
    std::string operator()(const effect::CriticalAlert& e) const {
        return "alert:" + e.message.toStdString() + "|" + e.informative.toStdString() + "|" +
               e.button.toStdString();
    }
    std::string operator()(const effect::SetIgnoreOutput&) const { return "ignore"; }
    std::string operator()(const effect::ScheduleRescan&) const { return "rescan"; }
    std::string operator()(const effect::ClearBurners&) const { return "clear"; }
    std::string operator()(const effect::AddBurnerName& e) const {
        return "name:" + e.title.toStdString();
    }
    std::string operator()(const effect::AddBurnerDevice& e) const {
        return "device:" + e.device.toStdString();
    }
    std::string operator()(const effect::ToggleExpectBurnerName&) const { return "toggle"; }
};

Effects interpret(const QString& line, BurnState state, bool eraseChecked = false,
                  bool expectBurnerName = true, bool ignoreOutput = false) {
    Effects described;
    for (const InterpreterEffect& e :
         interpretLine(line, {state, ignoreOutput, eraseChecked, expectBurnerName})) {
        described.push_back(std::visit(Describe{}, e));
    }
    return described;
}

std::string context(const QString& line, int state, bool erase) {
    return "line \"" + line.toStdString() + "\" in " + StateNames[state] +
           (erase ? " with erase on" : " with erase off");
}

const std::string LostAlert = "alert:Burn failed|The selected burner became unavailable.|Rescan";
const std::string FailureLine = "Tool reports: burn failed: no medium";
const std::string FailureReason = "burn failed: no medium"; // from index 14

// The outcome of one tool text in every state. In the burn states (Ready up to
// Terminating) the outcome is `burning` unless an exception names the state
// (and, where it matters, the erase option).
struct Exception {
    BurnState state;
    std::optional<bool> erase;
    Effects effects;
};
struct Row {
    std::string line;
    Effects listing; // with a name line expected
    Effects burning;
    std::vector<Exception> exceptions = {};
};

const Row Rows[] = {
    {"no CD/DVD drives present",
     {"state:NoBurners", "status:No available burners were found on your system.", "clear"},
     {"status:The selected burner became unavailable.", "failure", LostAlert, "ignore", "rescan"}},
    {"Please insert a disc:",
     {"name:Please insert a disc:", "toggle"},
     {},
     {{BurnStateReady, false, {"status:Please insert a writable disc...", "state:AwaitingDisc"}},
      {BurnStateReady,
       true,
       {"status:Please insert a writable disc...", "state:AwaitingDiscToErase"}},
      {BurnStateAwaitingDiscToErase, {}, {"state:Burning"}}}},
    {"Media is not eraseable",
     {"name:Media is not eraseable", "toggle"},
     {"status:Media is not erasable.  Turn off the 'erase' option and try again, or use "
      "erasable media.",
      "failure"}},
    {"Media is not writable",
     {"name:Media is not writable", "toggle"},
     {"status:Media is not writable - please insert a writable disc...", "failure"}},
    {"Media does not have enough free space",
     {"name:Media does not have enough free space", "toggle"},
     {"status:Not enough space on this disc - please insert another...", "failure", "hide"}},
    {"Preparing data for burn",
     {"name:Preparing data for burn", "toggle"},
     {"status:Starting...", "state:Burning", "indeterminate"}},
    {"Writing track", {"name:Writing track", "toggle"}, {"status:Writing track..."}},
    {"Closing session",
     {"name:Closing session", "toggle"},
     {"status:Closing session...", "indeterminate"}},
    {"Finishing burn", {"name:Finishing burn", "toggle"}, {"status:Finishing burn..."}},
    {"Verifying burn",
     {"name:Verifying burn", "toggle"},
     {"status:Verifying...", "state:Verifying"}},
    {"PERCENT:50",
     {"name:PERCENT:50", "toggle"},
     {"value:0.5"},
     {{BurnStateReady, true, {"state:AwaitingDiscToErase"}},
      {BurnStateAwaitingDiscToErase, {}, {"state:Erasing", "status:Erasing...", "value:0.5"}}}},
    {"PERCENT:-1",
     {"name:PERCENT:-1", "toggle"},
     {"indeterminate"},
     {{BurnStateReady, true, {"state:AwaitingDiscToErase"}},
      {BurnStateAwaitingDiscToErase, {}, {"state:Erasing", "status:Erasing...", "indeterminate"}}}},
    {"Burn completed successfully",
     {"name:Burn completed successfully", "toggle"},
     {"status:Burn completed successfully - ready to burn another disk image.", "state:Ready",
      "ignore", "success"}},
    {"The device is being used by another application",
     {"name:The device is being used by another application", "toggle"},
     {"failure",
      "status:Unable to get control of the burner - it may be being used by another application.",
      "state:Ready"}},
    {FailureLine,
     {"name:" + FailureLine, "toggle"},
     {"status:" + FailureReason, "state:Ready", "ignore", "failure",
      "alert:Burn failed|" + FailureReason + "|OK"}},
    {"Nothing the program knows", {"name:Nothing the program knows", "toggle"}, {}},
};

Effects expectedInBurnState(const Row& row, int state, bool erase) {
    for (const Exception& exception : row.exceptions) {
        if (exception.state == state && (!exception.erase || *exception.erase == erase)) {
            return exception.effects;
        }
    }
    return row.burning;
}

} // namespace

TEST(ProgressInterpreter, EveryToolTextInEveryState) {
    for (const Row& row : Rows) {
        const QString line = QString::fromStdString(row.line);
        for (int state = BurnStateListing; state <= BurnStateTerminating; ++state) {
            for (const bool erase : {false, true}) {
                const Effects expected = state == BurnStateListing ? row.listing
                                         : state == BurnStateNoBurners
                                             ? Effects{}
                                             : expectedInBurnState(row, state, erase);
                EXPECT_EQ(interpret(line, BurnState(state), erase), expected)
                    << context(line, state, erase);
            }
        }
    }
}

TEST(ProgressInterpreter, DropsEveryLineWhileOutputIsIgnored) {
    for (const Row& row : Rows) {
        const QString line = QString::fromStdString(row.line);
        for (int state = BurnStateListing; state <= BurnStateTerminating; ++state) {
            EXPECT_EQ(interpret(line, BurnState(state), true, true, true), Effects{})
                << context(line, state, true);
        }
    }
}

TEST(ProgressInterpreter, ListingLinesAlternateBetweenNameAndDevice) {
    struct Case {
        QString line;
        bool expectBurnerName;
        Effects effects;
    };
    const Case cases[] = {
        {"PIONEER DVD-RW  DVR-XD11 via USB", true, {"name:PIONEER DVD-RW  DVR-XD11 ", "toggle"}},
        {"  MATSHITA DVD-R via ATAPI via bus", true, {"name:  MATSHITA DVD-R ", "toggle"}},
        {"Aviation drive via USB", true, {"name:A", "toggle"}},
        {"Drive without a bus  ", true, {"name:Drive without a bus  ", "toggle"}},
        {"via the start", true, {"name:", "toggle"}},
        {"", true, {"name:", "toggle"}},
        {"Drive Via USB", true, {"name:Drive Via USB", "toggle"}},
        {"  IOService:/AppleACPIPlatformExpert/PCI0 via x\t",
         false,
         {"device:  IOService:/AppleACPIPlatformExpert/PCI0 via x\t", "toggle"}},
        {"", false, {"device:", "toggle"}},
        {"1,0,0\r", false, {"device:1,0,0\r", "toggle"}},
        {"Drives: no CD/DVD drives present.",
         false,
         {"state:NoBurners", "status:No available burners were found on your system.", "clear"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(interpret(c.line, BurnStateListing, false, c.expectBurnerName), c.effects)
            << c.line.toStdString();
    }
}

TEST(ProgressInterpreter, LaterTestsOfALineSeeTheStateEarlierOnesSet) {
    struct Case {
        QString line;
        BurnState state;
        bool erase;
        Effects effects;
    };
    const Case cases[] = {
        // Without the fresh read the progress would only move Ready to awaiting.
        {"PERCENT:50 Preparing data for burn",
         BurnStateReady,
         true,
         {"status:Starting...", "state:Burning", "indeterminate", "value:0.5"}},
        {"PERCENT:20 Please insert a disc:",
         BurnStateReady,
         true,
         {"status:Please insert a writable disc...", "state:AwaitingDiscToErase", "state:Erasing",
          "status:Erasing...", "value:0.2"}},
        {"PERCENT:20 Please insert a disc:",
         BurnStateReady,
         false,
         {"status:Please insert a writable disc...", "state:AwaitingDisc", "value:0.2"}},
        {"Please insert a disc: Verifying burn",
         BurnStateAwaitingDiscToErase,
         false,
         {"state:Burning", "status:Verifying...", "state:Verifying"}},
        {"PERCENT:-1 Burn completed successfully",
         BurnStateReady,
         true,
         {"state:AwaitingDiscToErase"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(interpret(c.line, c.state, c.erase), c.effects) << c.line.toStdString();
    }
}

TEST(ProgressInterpreter, OneLineMayCloseTheBurnTwice) {
    EXPECT_EQ(interpret("Burn completed successfully; burn failed", BurnStateVerifying),
              (Effects{"status:Burn completed successfully - ready to burn another disk image.",
                       "state:Ready", "ignore", "success", "status: successfully; burn failed",
                       "state:Ready", "ignore", "failure",
                       "alert:Burn failed| successfully; burn failed|OK"}));
    // The busy burner ends the line before the failure test: no alert.
    EXPECT_EQ(
        interpret("The device is being used by another application: burn failed", BurnStateBurning),
        (Effects{"failure",
                 "status:Unable to get control of the burner - it may be being used by "
                 "another application.",
                 "state:Ready"}));
}

TEST(ProgressInterpreter, FailureReasonStartsAtTheFifteenthCharacter) {
    struct Case {
        QString line;
        std::string reason;
    };
    const Case cases[] = {
        {"burn failed", "burn failed"},          // too short for a reason: shown whole
        {"a burn failed", "a burn failed"},      // 13 characters
        {"ab burn failed", ""},                  // exactly 14
        {"abc burn failed", "d"},                //
        {"💿💿💿💿💿💿💿burn failed!", "burn failed!"}, // counted in UTF-16 units
    };
    for (const Case& c : cases) {
        EXPECT_EQ(interpret(c.line, BurnStateBurning),
                  (Effects{"status:" + c.reason, "state:Ready", "ignore", "failure",
                           "alert:Burn failed|" + c.reason + "|OK"}))
            << c.line.toStdString();
    }
    EXPECT_EQ(interpret("Tool reports: Burn failed", BurnStateBurning), Effects{});
}

TEST(ProgressInterpreter, ProgressValueIsReadFromTheEighthCharacter) {
    struct Case {
        QString line;
        std::string effect;
    };
    const Case cases[] = {
        {"  PERCENT:50", "value:0"}, // index 8 holds the marker's "T"
        {"PERCENT:  12.5", "value:0.125"},
        {"PERCENT:abc", "value:0"},
        {"PERCENT:", "value:0"},
        {"PERCENT:100", "value:1"},
        {"PERCENT:150", "value:1.5"}, // passed on; the window clamps
        {"PERCENT:-0.5", "indeterminate"},
        {"PERCENT:1e99", "value:inf"},
        {"PERCENT:-1e99", "indeterminate"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(interpret(c.line, BurnStateBurning), Effects{c.effect}) << c.line.toStdString();
    }
}

TEST(ProgressInterpreter, WhatClosesABurn) {
    const std::pair<QString, bool> cases[] = {
        {"Burn completed successfully", true},
        {"x: The device is being used by another application", true},
        {"Tool reports: burn failed: no medium", true},
        {"no CD/DVD drives present", true},
        {"Burn failed", false},
        {"Verifying burn", false},
        {"PERCENT:-1 Burn completed successfully", false}, // only arms the erase
    };
    for (const auto& [line, closing] : cases) {
        EXPECT_EQ(closesBurn(interpretLine(line, {BurnStateReady, false, true, false})), closing)
            << line.toStdString();
    }
}
