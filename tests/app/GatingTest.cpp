#include "ControllerHarness.h"
#include "DropZone.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

struct Gating {
    bool progressShown;
    bool dropsAccepted;
    bool optionsEnabled; // the three checkboxes, the speed menu and the burner menu
    bool burnAgainEnabled;
    bool cancelEnabled;
    bool reloadEnabled;
};

Gating gatingOf(const ControllerHarness& harness) {
    const auto& ui = harness.ui();
    const bool options = ui.appendableCheckbox->isEnabled();
    EXPECT_EQ(ui.eraseCheckbox->isEnabled(), options);
    EXPECT_EQ(ui.verifyCheckbox->isEnabled(), options);
    EXPECT_EQ(ui.burnSpeedMenu->isEnabled(), options);
    EXPECT_EQ(ui.burnerMenu->isEnabled(), options);
    EXPECT_EQ(harness.state().dropsAllowed, ui.dropZone->acceptingDrops());
    return {!ui.progressBar->isHidden(),
            ui.dropZone->acceptingDrops(),
            options,
            ui.burnAgainButton->isEnabled(),
            ui.cancelButton->isEnabled(),
            ui.reloadBurnersButton->isEnabled()};
}

struct GatingCase {
    int state;
    bool imageChosen;
    Gating expected;
};

void PrintTo(const GatingCase& c, std::ostream* os) {
    *os << "state " << c.state << (c.imageChosen ? " with an image" : "");
}

class GatingTest : public testing::TestWithParam<GatingCase> {};

TEST_P(GatingTest, StateGatesTheWindow) {
    const GatingCase& c = GetParam();
    ControllerHarness harness;
    if (c.imageChosen) {
        harness.controller().setBurnState(BurnStateListing);
        harness.controller().openFiles({harness.makeImage()}); // stored only
    }
    // Start from the opposite gating, so every control has to move.
    harness.controller().setBurnState(c.state == BurnStateReady ? BurnStateVerifying
                                                                : BurnStateReady);
    harness.controller().setBurnState(c.state);

    EXPECT_EQ(harness.state().burnState, c.state);
    const Gating actual = gatingOf(harness);
    EXPECT_EQ(actual.progressShown, c.expected.progressShown);
    EXPECT_EQ(actual.dropsAccepted, c.expected.dropsAccepted);
    EXPECT_EQ(actual.optionsEnabled, c.expected.optionsEnabled);
    EXPECT_EQ(actual.burnAgainEnabled, c.expected.burnAgainEnabled);
    EXPECT_EQ(actual.cancelEnabled, c.expected.cancelEnabled);
    EXPECT_EQ(actual.reloadEnabled, c.expected.reloadEnabled);
}

//                              progress drops  options again  cancel reload
constexpr Gating listing{false, false, false, false, false, false};
constexpr Gating noBurners{false, false, false, false, false, true};
constexpr Gating readyWithoutImage{false, true, true, false, false, true};
constexpr Gating readyWithImage{false, true, true, true, false, true};
constexpr Gating waiting{false, false, false, false, true, false};
constexpr Gating working{true, false, false, false, false, false};

INSTANTIATE_TEST_SUITE_P(EveryState, GatingTest,
                         testing::Values(GatingCase{BurnStateListing, false, listing},
                                         GatingCase{BurnStateListing, true, listing},
                                         GatingCase{BurnStateNoBurners, true, noBurners},
                                         GatingCase{BurnStateReady, false, readyWithoutImage},
                                         GatingCase{BurnStateReady, true, readyWithImage},
                                         GatingCase{BurnStateAwaitingDiscToErase, true, waiting},
                                         GatingCase{BurnStateAwaitingDisc, true, waiting},
                                         GatingCase{BurnStateErasing, true, working},
                                         GatingCase{BurnStateBurning, true, working},
                                         GatingCase{BurnStateVerifying, true, working},
                                         GatingCase{BurnStateTerminating, true, working}));

TEST(GatingTest, StateChangeLeavesTextsAndProgressAlone) {
    ControllerHarness harness;
    const auto& ui = harness.ui();
    ui.deviceStatusField->setText(QStringLiteral("status"));
    ui.filenameField->setText(QStringLiteral("disc.iso"));
    ui.progressBar->setRange(0, 1000);
    ui.progressBar->setValue(420);
    for (int state = BurnStateListing; state <= BurnStateTerminating; ++state)
        harness.controller().setBurnState(state);
    EXPECT_EQ(ui.deviceStatusField->text(), QStringLiteral("status"));
    EXPECT_EQ(ui.filenameField->text(), QStringLiteral("disc.iso"));
    EXPECT_EQ(ui.progressBar->value(), 420);
    EXPECT_EQ(ui.progressBar->maximum(), 1000);
}

} // namespace
