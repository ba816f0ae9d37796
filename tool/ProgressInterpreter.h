#pragma once

#include "tool/BurnState.h"

#include <QString>
#include <variant>
#include <vector>

namespace emberlin {

// What one line of the disc-image tool's output does to the window, as an
// ordered list of effects. The controller applies them in order; no widget is
// touched here.
namespace effect {
struct ShowStatus {
    QString text;
};
struct SetBurnState {
    BurnState state;
};
struct ProgressIndeterminate {}; // bar indeterminate, then its animation started
struct ProgressValue {           // bar determinate, animation stopped, then the value
    double fraction;             // 1.0 is 100 percent; may lie outside 0..1
};
struct HideProgress {};
struct PlaySuccessSound {};
struct PlayFailureSound {};
struct CriticalAlert { // modal, one button; its answer is not used
    QString message;
    QString informative;
    QString button;
};
struct SetIgnoreOutput {};
struct ScheduleRescan {}; // reloadBurners 0.1 s later
struct ClearBurners {};   // burner menu emptied, then the device list
struct AddBurnerName {    // menu item inserted at burnerCount; burnerCount + 1
    QString title;
};
struct AddBurnerDevice { // appended to burnerDevices
    QString device;
};
struct ToggleExpectBurnerName {};
} // namespace effect

using InterpreterEffect =
    std::variant<effect::ShowStatus, effect::SetBurnState, effect::ProgressIndeterminate,
                 effect::ProgressValue, effect::HideProgress, effect::PlaySuccessSound,
                 effect::PlayFailureSound, effect::CriticalAlert, effect::SetIgnoreOutput,
                 effect::ScheduleRescan, effect::ClearBurners, effect::AddBurnerName,
                 effect::AddBurnerDevice, effect::ToggleExpectBurnerName>;

// The parts of the controller's state that the interpretation of a line reads.
struct InterpreterInput {
    BurnState burnState = BurnStateListing;
    bool ignoreOutput = false;
    bool eraseChecked = false;
    bool expectBurnerName = false;
};

// The whole dispatch for one complete line (without its "\n"). Later tests of
// the same line see the state that earlier effects of that line set.
std::vector<InterpreterEffect> interpretLine(const QString& line, const InterpreterInput& input);

// Whether these effects of a line in a burn state end the burn one way or
// another (success, busy burner, failure, lost burner).
bool closesBurn(const std::vector<InterpreterEffect>& effects);

// The effects of a line that ends the burn as failed, with this reason.
std::vector<InterpreterEffect> failureEffects(const QString& reason);

// Whether these effects of a line end the burn in success: its last word, the
// last sound, is the success sound. A line that also holds a failure's text
// after it ends in failure.
bool endsInSuccess(const std::vector<InterpreterEffect>& effects);

// Whether these effects of a line refuse the disc in the drive while the burn
// goes on waiting for another (not writable, not erasable, too small).
bool refusesDisc(const std::vector<InterpreterEffect>& effects);

} // namespace emberlin
