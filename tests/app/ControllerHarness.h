#pragma once

#include "AppTestDoubles.h"
#include "EmberlinController.h"
#include "FakeToolScript.h"
#include "PtyOpener.h"

#include <QMainWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <ostream>

// The real main window built from its form, offscreen, with a controller that
// talks to recorders, a scratch settings store and the scripted stand-in tool.
class ControllerHarness {
public:
    struct Options {
        QString toolPath = FakeToolScript::toolPath();
        PtyOpener* ptyOpener = nullptr; // the system's when none is given
        std::chrono::milliseconds listingTimeLimit = std::chrono::seconds(20);
        QString storePath; // a fresh store when empty
    };

    ControllerHarness();
    explicit ControllerHarness(const Options& options);
    ~ControllerHarness();

    EmberlinController& controller() { return *controller_; }
    const EmberlinController::State& state() const { return controller_->state(); }
    const EmberlinController::Outlets& ui() const { return outlets_; }
    QMainWindow& window() { return window_; }
    QSettings& store() { return *store_; }

    // The listing transcript of two burners; the second device line is
    // surrounded by blanks and tabs.
    void listTwoBurners();
    // awakeFromNib, as the application does before its event loop runs.
    void start();
    // A file that exists, in a scratch folder of this harness.
    QString makeImage(const QString& name = QStringLiteral("disc.iso"));
    QString scratchPath(const QString& name) const;
    // The stand-in's invocations other than listings.
    std::vector<QStringList> burnCalls() const;
    // Waits until the burn's child is up and recorded.
    bool waitForBurnCalls(std::size_t count);

    static QString successSound();
    static QString failureSound();

    FakeToolScript fake;
    RecordingAlerts alerts;
    RecordingSounds sounds;

private:
    QTemporaryDir scratch_;
    std::unique_ptr<QSettings> store_;
    SystemPtyOpener systemPty_;
    QMainWindow window_;
    EmberlinController::Outlets outlets_;
    std::unique_ptr<EmberlinController> controller_;
};

// The first burner of listTwoBurners.
inline const QString firstBurnerTitle = QStringLiteral("Virtual Writer ");
inline const QString firstBurnerDevice = QStringLiteral("/dev/sr0");
inline const QString secondBurnerDevice = QStringLiteral("/dev/sr1");

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
