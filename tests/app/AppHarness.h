#pragma once

#include "app/AppAssembly.h"
#include "app/burn/Alerts.h"
#include "app/burn/Sounds.h"
#include "process/PtyOpener.h"
#include "tests/fakes/FakeToolScript.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

// Records every alert and answers it through `answer` (as Return would, with
// the default button, when none is set), which runs while the alert is "open",
// as a modal loop would.
class RecordingAlerts final : public emberlin::Alerts {
public:
    struct Alert {
        QString message;
        QString informative;
        QStringList buttons;
        int defaultButton = 0;
        bool operator==(const Alert&) const = default;
    };
    int runCritical(const QString& message, const QString& informative, const QStringList& buttons,
                    int defaultButton) override;

    std::vector<Alert> shown;
    std::function<int(const Alert&)> answer;
};

// Names a sound "sound:NAME" and records what is played.
class RecordingSounds final : public emberlin::Sounds {
public:
    QString soundNamed(const QString& name) override { return "sound:" + name; }
    void play(const QString& sound) override { played.append(sound); }

    QStringList played;
};

#ifndef Q_OS_MACOS
// Records the notifications asked for and the taskbar's progress ("50%",
// "hidden").
class RecordingNotifications final : public emberlin::DesktopNotifications {
public:
    void show(const QString& summary, const QString& body) override {
        shown.append(summary + ": " + body);
    }
    void withdraw() override { shown.append("withdrawn"); }
    QStringList shown;
};
class RecordingTaskbar final : public emberlin::TaskbarProgress {
public:
    void showProgress(double fraction) override {
        shown.append(QString("%1%").arg(fraction * 100));
    }
    void hideProgress() override { shown.append("hidden"); }
    QStringList shown;
};
#endif

// The real application offscreen, with recorders in place of alerts and
// sounds, a scratch settings store and the scripted stand-in tool.
class AppHarness {
public:
    struct Options {
        QString toolPath = FakeToolScript::toolPath();
        emberlin::PtyOpener* ptyOpener = nullptr; // the system's when none is given
        std::chrono::milliseconds listingTimeLimit = std::chrono::seconds(60);
        QString storePath; // a fresh store when empty
    };

    AppHarness();
    explicit AppHarness(const Options& options);

    emberlin::EmberlinController& controller() { return app_->controller(); }
    emberlin::MainWindow& window() { return app_->window(); }
    emberlin::QuitGuard& quitGuard() { return app_->quitGuard(); }
    const emberlin::MainWindow::Outlets& ui() { return app_->window().outlets(); }
    emberlin::BurnJournal& journal() { return app_->burnJournal(); }
    emberlin::CopyBurnController& copies() { return app_->copyBurnController(); }
    emberlin::CopiesWindow& copiesWindow() { return app_->copiesWindow(); }
    QSettings& store() { return *store_; }
    QString status() { return ui().deviceStatusField->text(); }
    // The latest state the controller moved to.
    emberlin::BurnState state() const { return states.back(); }

    // The listing transcript of two burners; the second device line is
    // surrounded by blanks and tabs.
    void listTwoBurners() const;
    // awakeFromNib, as the application does before its event loop runs, then
    // waits for the listing to end.
    void start();
    bool waitForState(emberlin::BurnState state);
    // A file that exists, in a scratch folder of this harness.
    QString makeImage(const QString& name = "disc.iso") const;
    QString scratchPath(const QString& name) const { return scratch_.filePath(name); }
    // Waits until this many burns have started and been recorded.
    bool waitForBurnCalls(std::size_t count) const;

#ifdef Q_OS_MACOS
    static inline const QString successSound = "sound:Glass";
    static inline const QString failureSound = "sound:Basso";
#else
    static inline const QString successSound = "sound:complete";
    static inline const QString failureSound = "sound:dialog-error";
#endif

    FakeToolScript fake;
    RecordingAlerts alerts;
    RecordingSounds sounds;
    // The app's clocks: the time of day, and the steady one of the time left.
    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(6, 0), Qt::UTC);
    std::chrono::steady_clock::time_point steadyNow;
#ifndef Q_OS_MACOS
    // Drive events the test sends, settled at once.
    emberlin::OpticalDriveEvents driveEvents;
    RecordingNotifications notifications;
    RecordingTaskbar taskbar;
#endif
    // Every state moved to, repeats folded.
    std::vector<emberlin::BurnState> states{emberlin::BurnStateListing};

private:
    QTemporaryDir scratch_;
    std::unique_ptr<QSettings> store_;
    std::unique_ptr<emberlin::AppAssembly> app_;
};

// The window started with two burners listed, whose burns hang until stopped.
class TwoBurnersTest : public testing::Test {
protected:
    void SetUp() override {
        harness.listTwoBurners();
        harness.fake.setBurn({fake::hang()});
        harness.start();
    }
    AppHarness harness;
};

inline const QString firstBurnerTitle = "Virtual Writer ";
inline const QString firstBurnerDevice = "/dev/sr0";
inline const QString secondBurnerDevice = "/dev/sr1";
