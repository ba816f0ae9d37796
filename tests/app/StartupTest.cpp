#include "ControllerHarness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList listingCall{QStringLiteral("burn"), QStringLiteral("-list")};

TEST(StartupTest, PreferencesThenSoundsThenListing) {
    ControllerHarness harness;
    harness.listTwoBurners();
    harness.store().setValue(QStringLiteral("Verify Burns"), false);

    struct AtLookUp {
        bool verifyChecked;
        bool cancelEnabled;
        std::size_t toolCalls;
    };
    std::vector<AtLookUp> seen;
    harness.sounds.onLookUp = [&](const QString&) {
        seen.push_back({harness.ui().verifyCheckbox->isChecked(),
                        harness.ui().cancelButton->isEnabled(), harness.fake.calls().size()});
    };
    harness.start();

    ASSERT_EQ(seen.size(), 2u);
    for (const AtLookUp& atLookUp : seen) {
        EXPECT_FALSE(atLookUp.verifyChecked) << "the preferences are loaded first";
        EXPECT_FALSE(atLookUp.cancelEnabled) << "cancel is disabled before the sounds";
        EXPECT_EQ(atLookUp.toolCalls, 0u) << "the listing runs after the sounds";
    }
    EXPECT_EQ(harness.sounds.lookedUp, QStringList({ControllerHarness::successSound().mid(6),
                                                    ControllerHarness::failureSound().mid(6)}));
    EXPECT_EQ(harness.fake.calls(), std::vector<QStringList>{listingCall});

    EXPECT_EQ(harness.state().burnState, BurnStateReady);
    EXPECT_EQ(harness.state().successSound, ControllerHarness::successSound());
    EXPECT_EQ(harness.state().failureSound, ControllerHarness::failureSound());
    EXPECT_EQ(harness.state().defaults, &harness.store());
    EXPECT_TRUE(harness.state().imagePath.isEmpty());
    EXPECT_TRUE(harness.state().outputBuffer.isEmpty());
    ASSERT_EQ(harness.ui().burnerMenu->count(), 2);
    EXPECT_EQ(harness.ui().burnerMenu->currentIndex(), 0);
    EXPECT_EQ(harness.ui().burnerMenu->itemText(0), firstBurnerTitle);
    EXPECT_FALSE(harness.ui().burnAgainButton->isEnabled());
    EXPECT_FALSE(harness.ui().cancelButton->isEnabled());
    EXPECT_TRUE(harness.ui().reloadBurnersButton->isEnabled());
    EXPECT_TRUE(harness.alerts.shown.empty());
}

TEST(StartupTest, NoDrivesLeaveOnlyReloadEnabled) {
    ControllerHarness harness;
    harness.fake.setListing({FakeDirective::line(QStringLiteral("no CD/DVD drives present"))});
    harness.start();

    EXPECT_EQ(harness.state().burnState, BurnStateNoBurners);
    EXPECT_EQ(harness.ui().deviceStatusField->text(),
              QStringLiteral("No available burners were found on your system."));
    EXPECT_EQ(harness.ui().burnerMenu->count(), 0);
    EXPECT_TRUE(harness.ui().reloadBurnersButton->isEnabled());
    EXPECT_FALSE(harness.ui().burnAgainButton->isEnabled());
    EXPECT_FALSE(harness.ui().cancelButton->isEnabled());
    EXPECT_FALSE(harness.ui().eraseCheckbox->isEnabled());
    EXPECT_TRUE(harness.alerts.shown.empty());
    EXPECT_TRUE(harness.sounds.played.isEmpty());
}

TEST(StartupTest, LosingActivationRedrawsTheWindowContent) {
    ControllerHarness harness;
    harness.start();
    harness.window().show();
    QWidget* content = harness.window().centralWidget();
    ASSERT_NE(content, nullptr);
    ASSERT_TRUE(FakeToolScript::waitUntil([&] { return content->isVisible(); }));
    QCoreApplication::processEvents();

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } counter;
    content->installEventFilter(&counter);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&harness.window(), &deactivate);
    EXPECT_TRUE(FakeToolScript::waitUntil([&] { return counter.paints > 0; }));
}

TEST(StartupTest, ApplicationEndRunsTheTerminationRoutine) {
    ControllerHarness harness;
    harness.start();
    harness.ui().appendableCheckbox->setChecked(true);
    // As QCoreApplication::exec does when its loop ends.
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection);
    EXPECT_EQ(harness.state().burnState, BurnStateTerminating);
    EXPECT_TRUE(harness.state().terminating);
    EXPECT_TRUE(harness.store().value(QStringLiteral("Leave Appendable")).toBool());
}

struct StoredPrefs {
    const char* name;
    std::vector<std::pair<QString, QVariant>> stored;
    bool appendable;
    bool verify;
    bool erase;
    QString speed;
};

void PrintTo(const StoredPrefs& c, std::ostream* os) {
    *os << c.name;
}

class PreferencesTest : public testing::TestWithParam<StoredPrefs> {};

TEST_P(PreferencesTest, LoadedIntoTheWindow) {
    const StoredPrefs& c = GetParam();
    ControllerHarness harness;
    // The form's own initial values must not decide anything.
    harness.ui().appendableCheckbox->setChecked(!c.appendable);
    harness.ui().verifyCheckbox->setChecked(!c.verify);
    harness.ui().eraseCheckbox->setChecked(!c.erase);
    harness.ui().burnSpeedMenu->setCurrentIndex(0);
    for (const auto& [key, value] : c.stored)
        harness.store().setValue(key, value);

    harness.controller().loadPrefs();

    EXPECT_EQ(harness.ui().appendableCheckbox->isChecked(), c.appendable);
    EXPECT_EQ(harness.ui().verifyCheckbox->isChecked(), c.verify);
    EXPECT_EQ(harness.ui().eraseCheckbox->isChecked(), c.erase);
    EXPECT_EQ(harness.ui().burnSpeedMenu->currentText(), c.speed);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, PreferencesTest,
    testing::Values(StoredPrefs{"FirstRun", {}, false, true, true, QStringLiteral("max")},
                    StoredPrefs{"StoredFalse",
                                {{QStringLiteral("Verify Burns"), false},
                                 {QStringLiteral("Erase If Possible"), false}},
                                false,
                                false,
                                false,
                                QStringLiteral("max")},
                    StoredPrefs{"EverythingChanged",
                                {{QStringLiteral("Leave Appendable"), true},
                                 {QStringLiteral("Verify Burns"), false},
                                 {QStringLiteral("Erase If Possible"), false},
                                 {QStringLiteral("Burn Speed"), QStringLiteral("8x")}},
                                true,
                                false,
                                false,
                                QStringLiteral("8x")},
                    StoredPrefs{"UnknownSpeedTitle",
                                {{QStringLiteral("Burn Speed"), QStringLiteral("52x")}},
                                false,
                                true,
                                true,
                                QStringLiteral("max")}),
    [](const testing::TestParamInfo<StoredPrefs>& info) { return info.param.name; });

TEST(PreferencesTest, RoundTripThroughTheStore) {
    QTemporaryDir folder;
    const QString storePath = folder.filePath(QStringLiteral("prefs.ini"));
    {
        ControllerHarness::Options options;
        options.storePath = storePath;
        ControllerHarness harness(options);
        harness.start();
        harness.ui().appendableCheckbox->setChecked(true);
        harness.ui().verifyCheckbox->setChecked(false);
        harness.ui().eraseCheckbox->setChecked(false);
        harness.ui().burnSpeedMenu->setCurrentText(QStringLiteral("8x"));
        harness.controller().applicationWillTerminate();

        QSettings& store = harness.store();
        EXPECT_EQ(store.value(QStringLiteral("Leave Appendable")).toBool(), true);
        EXPECT_EQ(store.value(QStringLiteral("Verify Burns")).toBool(), false);
        EXPECT_EQ(store.value(QStringLiteral("Erase If Possible")).toBool(), false);
        EXPECT_EQ(store.value(QStringLiteral("Burn Speed")).toString(), QStringLiteral("8x"));

        // A second end of the application saves nothing more.
        harness.ui().appendableCheckbox->setChecked(false);
        harness.ui().burnSpeedMenu->setCurrentText(QStringLiteral("2x"));
        harness.controller().applicationWillTerminate();
        EXPECT_EQ(store.value(QStringLiteral("Leave Appendable")).toBool(), true);
        EXPECT_EQ(store.value(QStringLiteral("Burn Speed")).toString(), QStringLiteral("8x"));
    }
    ControllerHarness::Options options;
    options.storePath = storePath;
    ControllerHarness nextRun(options);
    nextRun.start();
    EXPECT_TRUE(nextRun.ui().appendableCheckbox->isChecked());
    EXPECT_FALSE(nextRun.ui().verifyCheckbox->isChecked());
    EXPECT_FALSE(nextRun.ui().eraseCheckbox->isChecked());
    EXPECT_EQ(nextRun.ui().burnSpeedMenu->currentText(), QStringLiteral("8x"));
}

} // namespace
