#include "tests/app/AppHarness.h"
#include "views/CopiesWindow.h"
#include "views/CopyBurnerRow.h"
#include "views/DropZone.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QScrollArea>
#include <QTimer>

using namespace emberlin;

namespace {

// P progress bar shown, D drops accepted, O options and burner menu enabled,
// A burn again, C cancel, R reload burners enabled; "-" where not.
struct GatingCase {
    BurnState state;
    bool imageChosen;
    const char* gating;
};

class GatingTest : public testing::TestWithParam<GatingCase> {};

TEST_P(GatingTest, StateGatesTheWindowAndLeavesItsTextsAlone) {
    const GatingCase& c = GetParam();
    AppHarness harness;
    const auto& ui = harness.ui();
    if (c.imageChosen)
        harness.controller().openFiles({harness.makeImage()}); // stored only while listing
    ui.deviceStatusField->setText("status");
    ui.filenameField->setText("disc.iso");
    ui.progressBar->setValue(420);
    // From the opposite gating, so every control has to move.
    harness.controller().setBurnState(c.state == BurnStateReady ? BurnStateVerifying
                                                                : BurnStateReady);
    harness.controller().setBurnState(c.state);

    const bool options = ui.appendableCheckbox->isEnabled();
    for (QWidget* option : std::initializer_list<QWidget*>{ui.eraseCheckbox, ui.verifyCheckbox,
                                                           ui.burnSpeedMenu, ui.burnerMenu})
        EXPECT_EQ(option->isEnabled(), options) << option->objectName().toStdString();
    const auto flag = [](bool on, char letter) {
        return on ? letter : '-';
    };
    const std::string gating{flag(!ui.progressBar->isHidden(), 'P'),
                             flag(ui.dropZone->acceptingDrops(), 'D'),
                             flag(options, 'O'),
                             flag(ui.burnAgainButton->isEnabled(), 'A'),
                             flag(ui.cancelButton->isEnabled(), 'C'),
                             flag(ui.reloadBurnersButton->isEnabled(), 'R')};
    EXPECT_EQ(gating, c.gating);
    EXPECT_EQ(harness.status(), "status");
    EXPECT_EQ(ui.filenameField->text(), "disc.iso");
    EXPECT_EQ(ui.progressBar->value(), 420);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(EveryState, GatingTest, testing::Values(
    GatingCase{BurnStateListing, true, "------"}, GatingCase{BurnStateNoBurners, true, "-----R"},
    GatingCase{BurnStateReady, false, "-DO--R"}, GatingCase{BurnStateReady, true, "-DOA-R"},
    GatingCase{BurnStateAwaitingDiscToErase, true, "----C-"}, GatingCase{BurnStateAwaitingDisc, true, "----C-"},
    GatingCase{BurnStateErasing, true, "P-----"}, GatingCase{BurnStateBurning, true, "P-----"},
    GatingCase{BurnStateVerifying, true, "P-----"}, GatingCase{BurnStateTerminating, true, "P-----"}));
// clang-format on

struct StoredPrefs {
    const char* name;
    std::vector<std::pair<QString, QVariant>> stored;
    BurnChoices loaded;
};

class PreferencesTest : public testing::TestWithParam<StoredPrefs> {};

TEST_P(PreferencesTest, LoadedIntoTheWindow) {
    AppHarness harness;
    // The form's own initial values must decide nothing.
    harness.window().setChoices({true, false, false, "1x"});
    for (const auto& [key, value] : GetParam().stored)
        harness.store().setValue(key, value);
    harness.controller().loadPrefs();
    EXPECT_EQ(harness.window().choices(), GetParam().loaded);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Stores, PreferencesTest, testing::Values(
    StoredPrefs{"FirstRun", {}, {false, true, true, "max"}},
    StoredPrefs{"StoredFalse", {{"Verify Burns", false}, {"Erase If Possible", false}}, {false, false, false, "max"}},
    StoredPrefs{"EverythingChanged", {{"Leave Appendable", true}, {"Verify Burns", false}, {"Erase If Possible", false}, {"Burn Speed", "8x"}}, {true, false, false, "8x"}},
    StoredPrefs{"UnknownSpeedTitle", {{"Burn Speed", "52x"}}, {false, true, true, "max"}}),
    NamedCase());
// clang-format on

TEST(PreferencesTest, SavedOnceWhenTheApplicationEndsAndLoadedByTheNextRun) {
    QTemporaryDir folder;
    AppHarness::Options options;
    options.storePath = folder.filePath("prefs.ini");
    const BurnChoices changed{true, false, false, "8x"};
    {
        AppHarness harness(options);
        harness.start();
        harness.window().setChoices(changed);
        // As QCoreApplication::exec does when its loop ends.
        QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
        EXPECT_EQ(harness.state(), BurnStateTerminating);
        harness.window().setChoices({});
        harness.controller().applicationWillTerminate(); // saves nothing more
    }
    AppHarness nextRun(options);
    nextRun.start();
    EXPECT_EQ(nextRun.window().choices(), changed);
}

TEST(WindowTest, LosingActivationRedrawsTheContent) {
    AppHarness harness;
    harness.start();
    harness.window().show();
    QWidget* content = harness.window().centralWidget();
    ASSERT_TRUE(waitFor([&] { return content->isVisible(); }));
    QCoreApplication::processEvents();
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    content->installEventFilter(&counter);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&harness.window(), &deactivate);
    EXPECT_TRUE(waitFor([&] { return counter.paints > 0; }));
}

TEST_F(TwoBurnersTest, OpenActionBurnsTheChosenImage) {
    const QString image = harness.makeImage("chosen.iso");
    auto* open = harness.window().findChild<QAction*>("openAction");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->shortcuts(), QKeySequence::keyBindings(QKeySequence::Open));
    // The dialog is modal: answer it from inside its own loop.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            // Typed, as its folder's listing loads in the background.
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(image);
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    answer.start(10);
    open->trigger();
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.fake.burnCalls().front().at(1), image);
}

} // namespace

namespace {

void press(QWidget* widget, Qt::Key key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &down);
    QApplication::sendEvent(widget, &up);
}

// The keyboard as the platform has it: Return or Enter on a focused button
// presses it, and the focus never stays on a control the burn disabled.
TEST(KeyboardTest, ReturnPressesTheFocusedButtonAndTheFocusFollowsTheBurn) {
    AppHarness harness;
    harness.listTwoBurners();
    harness.fake.setBurn({fake::say("Please insert a disc:"), fake::hang()});
    harness.start();
    harness.window().show();
    harness.window().activateWindow();
    ASSERT_TRUE(waitFor([&] { return harness.window().isActiveWindow(); }));
    const QString image = harness.makeImage();
    int reloads = 0;
    QObject::connect(&harness.window(), &MainWindow::reloadBurnersClicked, [&] { ++reloads; });
    harness.ui().reloadBurnersButton->setFocus();
    press(harness.ui().reloadBurnersButton, Qt::Key_Enter);
    EXPECT_EQ(reloads, 1);
    ASSERT_TRUE(harness.waitForState(BurnStateReady));

    harness.controller().openFiles({image});
    harness.controller().cancel();
    harness.ui().burnAgainButton->setFocus();
    press(harness.ui().burnAgainButton, Qt::Key_Return);
    ASSERT_TRUE(harness.waitForState(BurnStateAwaitingDiscToErase));
    EXPECT_EQ(QApplication::focusWidget(), harness.ui().cancelButton);
    harness.controller().processOutput("PERCENT:-1\n");
    ASSERT_EQ(harness.state(), BurnStateErasing);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_TRUE(QApplication::focusWidget()->isEnabled())
        << QApplication::focusWidget()->objectName().toStdString();
}

// In the copies window Tab goes from the options through the rows to the
// buttons below them, and Burn hands the focus to the rows.
TEST(KeyboardTest, InTheCopiesWindowTheRowsComeBeforeTheButtonsAndTakeTheFocusFromBurn) {
    AppHarness harness;
    harness.listTwoBurners();
    harness.fake.setBurn({fake::say("Preparing data for burn\n"), fake::hang()});
    harness.start();
    harness.window().findChild<QAction*>("burnCopiesAction")->trigger();
    CopiesWindow& window = harness.copiesWindow();
    window.activateWindow();
    ASSERT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
    emit window.imageChosen(harness.makeImage());
    CopyBurnerRow& first = harness.copies().copies().at(0)->row();
    window.findChild<QCheckBox*>("eraseCheckbox")->setFocus();
    press(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->parentWidget(), &first);

    first.setChecked(true);
    auto* burn = window.findChild<QPushButton*>("burnButton");
    burn->setFocus();
    burn->click();
    EXPECT_TRUE(waitFor(
        [&] { return QApplication::focusWidget() == first.findChild<QLabel*>("statusField"); }));
}

// At its first size the copies window shows four burning rows whole.
TEST(WindowTest, TheCopiesWindowShowsFourBurningRowsAtItsFirstSize) {
    CopiesWindow window;
    std::vector<CopyBurnerRow*> rows;
    for (int index = 0; index < 5; ++index) {
        rows.push_back(window.addBurnerRow(QString("Writer %1").arg(index)));
        rows.back()->gate(BurnStateBurning);
        rows.back()->showStatus("Writing track...");
        rows.back()->showJobProgress("16x, 22.2 MB/s – about 3 minutes left");
    }
    window.show();
    const QWidget* viewport = window.findChild<QScrollArea*>("burnersArea")->viewport();
    const auto bottomOf = [&](const CopyBurnerRow* row) {
        return row->mapTo(viewport, QPoint(0, row->height())).y();
    };
    EXPECT_TRUE(waitFor([&] { return bottomOf(rows[3]) <= viewport->height(); }))
        << bottomOf(rows[3]) << " > " << viewport->height();
}

} // namespace
