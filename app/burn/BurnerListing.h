#pragma once

#include "app/burn/Burner.h"
#include "process/PipeTask.h"
#include "tool/ProgressInterpreter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace emberlin {

class BurnRun;
class BurnerClaims;
class MainWindow;

// The main window's burners: the disc-image tool's listing run as a task of
// its own, the burner menu and the device of each of its burners as the
// listing's lines name them, which of them the menu offers while burns of
// other windows hold some, and the rescan after a burner was lost. The lines
// are read by the main window's burn interpretation, whose listing effects
// come here.
class BurnerListing final : public QObject {
    Q_OBJECT

public:
    // ownRun: the main window's burn, whose burner stays offered. The tool
    // counts as hung after timeLimit; a rescan is due rescanDelay after a lost
    // burner's alert.
    BurnerListing(MainWindow& mainWindow, BurnerClaims& claims, const BurnRun& ownRun,
                  QString toolPath, std::chrono::milliseconds timeLimit,
                  std::chrono::milliseconds rescanDelay);

    // Empties the menu and runs the listing; one still running is replaced.
    void start();
    // A running listing, or a rescan not yet due, is stopped without a word.
    void stop();

    // The effects of the listing's lines (and of a lost burner).
    void take(const effect::ClearBurners&);
    void take(const effect::AddBurnerName& name);
    void take(const effect::AddBurnerDevice& device);
    void take(const effect::ToggleExpectBurnerName&) { expectBurnerName_ = !expectBurnerName_; }
    void take(const effect::ScheduleRescan&) { rescanTimer_.start(); }
    bool expectBurnerName() const { return expectBurnerName_; }

    // Once the listing's output was read: the first burner selected, those
    // free offered, and the burners told.
    void publish();
    // The trimmed device of the menu's burner; none without one, or for a
    // name line without its device line.
    std::optional<QString> device(int index) const;
    // What the window says when the listing did not exit.
    QString failureStatus(PipeTask::Outcome outcome) const;

signals:
    // The listing's task has ended, with all its output.
    void ended(emberlin::PipeTask::Outcome outcome, const QString& output);
    // The burners are to be listed again, a burner having been lost.
    void rescanDue();
    // A listing has ended: the burners the menu offers, in its order.
    void burnersListed(const std::vector<Burner>& burners);

private:
    void taskFinished(PipeTask::Outcome outcome, const QString& output);
    // Burners that another window's burn holds are not offered.
    void offerBurners();

    MainWindow& mainWindow_;
    BurnerClaims& claims_;
    const BurnRun& ownRun_;
    const QString toolPath_;
    const std::chrono::milliseconds timeLimit_;
    std::unique_ptr<PipeTask> task_;
    QTimer rescanTimer_;
    QStringList burnerDevices_;
    int burnerCount_ = 0;
    bool expectBurnerName_ = false;
};

} // namespace emberlin
