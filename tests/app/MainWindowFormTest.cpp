#include "ControllerHarness.h"
#include "DropZone.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(MainWindowFormTest, OutletsAreNamedWidgetsOfTheWindow) {
    ControllerHarness harness;
    const auto& ui = harness.ui();
    EXPECT_EQ(ui.mainWindow, &harness.window());
    EXPECT_EQ(ui.mainWindow->objectName(), QStringLiteral("mainWindow"));
    const std::pair<QWidget*, const char*> outlets[] = {
        {ui.deviceStatusField, "deviceStatusField"},
        {ui.burnAgainButton, "burnAgainButton"},
        {ui.cancelButton, "cancelButton"},
        {ui.progressBar, "progressBar"},
        {ui.appendableCheckbox, "appendableCheckbox"},
        {ui.eraseCheckbox, "eraseCheckbox"},
        {ui.verifyCheckbox, "verifyCheckbox"},
        {ui.filenameField, "filenameField"},
        {ui.burnSpeedMenu, "burnSpeedMenu"},
        {ui.burnerMenu, "burnerMenu"},
        {ui.dropZone, "dropZone"},
        {ui.reloadBurnersButton, "reloadBurnersButton"},
    };
    for (const auto& [widget, name] : outlets) {
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->objectName(), QString::fromLatin1(name));
        EXPECT_TRUE(harness.window().isAncestorOf(widget)) << name;
    }
}

TEST(MainWindowFormTest, ControlsAreNamedForAssistiveTechnology) {
    ControllerHarness harness;
    const auto& ui = harness.ui();
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui.burnAgainButton, ui.cancelButton, ui.reloadBurnersButton, ui.appendableCheckbox,
             ui.eraseCheckbox, ui.verifyCheckbox, ui.burnSpeedMenu, ui.burnerMenu,
             ui.progressBar}) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    }
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui.burnAgainButton, ui.cancelButton, ui.reloadBurnersButton, ui.appendableCheckbox,
             ui.eraseCheckbox, ui.verifyCheckbox, ui.burnSpeedMenu, ui.burnerMenu}) {
        EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus) << control->objectName().toStdString();
    }
    // The labels' own text is what a screen reader reads, and never markup.
    for (QLabel* label : {ui.deviceStatusField, ui.filenameField}) {
        EXPECT_TRUE(label->accessibleName().isEmpty());
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
}

TEST(MainWindowFormTest, SpeedsProgressAndQuit) {
    ControllerHarness harness;
    const auto& ui = harness.ui();
    QStringList speeds;
    for (int i = 0; i < ui.burnSpeedMenu->count(); ++i)
        speeds << ui.burnSpeedMenu->itemText(i);
    EXPECT_EQ(speeds, QStringList({"1x", "2x", "4x", "6x", "8x", "12x", "16x", "24x", "max"}));
    EXPECT_EQ(ui.progressBar->minimum(), 0);
    EXPECT_EQ(ui.progressBar->maximum(), 1000);

    auto* quit = harness.window().findChild<QAction*>(QStringLiteral("quitAction"));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->shortcuts(), QKeySequence::keyBindings(QKeySequence::Quit));
    EXPECT_FALSE(quit->associatedObjects().isEmpty()) << "the File menu holds it";
}

TEST(MainWindowFormTest, ButtonsAreWiredToTheController) {
    ControllerHarness harness;
    harness.fake.setListing({FakeDirective::line(QStringLiteral("no CD/DVD drives present"))});
    harness.start();
    ASSERT_EQ(harness.state().burnState, BurnStateNoBurners);
    harness.listTwoBurners();
    harness.ui().reloadBurnersButton->click();
    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    EXPECT_EQ(harness.ui().burnerMenu->count(), 2);
}

TEST(MainWindowFormTest, OpenActionBurnsTheChosenImage) {
    ControllerHarness harness;
    harness.listTwoBurners();
    harness.fake.setBurn({FakeDirective::hang()});
    harness.start();
    const QString image = harness.makeImage(QStringLiteral("chosen.iso"));
    auto* open = harness.window().findChild<QAction*>(QStringLiteral("openAction"));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->shortcuts(), QKeySequence::keyBindings(QKeySequence::Open));

    // The dialog is modal: answer it from inside its own loop.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectFile(image);
            static_cast<QDialog*>(dialog)->accept(); // public there
        }
    });
    answer.start(10);
    open->trigger();

    EXPECT_EQ(harness.state().imagePath, image);
    ASSERT_TRUE(harness.waitForBurnCalls(1));
    EXPECT_EQ(harness.burnCalls().front().at(1), image);
}

} // namespace
