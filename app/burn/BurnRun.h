#pragma once

#include "app/burn/BurnReports.h"
#include "app/burn/Burner.h"
#include "process/TaskWrapper.h"
#include "process/TaskWrapperController.h"
#include "tool/FactLine.h"
#include "tool/OutputLineAssembler.h"
#include "tool/ProgressInterpreter.h"

#include <QString>
#include <optional>
#include <vector>

namespace emberlin {

class Alerts;
class BurnStatusView;
class BurnerClaims;
class PtyOpener;

// One burner's burn at a time, for the main window or a row of the copies
// window: the disc-image tool on a pseudo-terminal of its own (burnTask), its
// output cut into lines (outputBuffer), each line's status and bar shown on
// the view and its other effects handed to the client in order, whether the
// output is ignored from now on (ignoreOutput) and whether a line has closed
// the burn (burnClosed). What happens to the burn it tells in its reports. A
// run serves its client burn after burn; its generation grows whenever a burn
// is replaced or discarded, so that work spanning a modal alert (whose nested
// event loop may start a new burn, cancel or quit) can tell that its burn has
// gone. While its tool runs, the run holds its burner in the claims.
class BurnRun final : public TaskWrapperController {
public:
    class Client {
    public:
        // The client's part of a line's interpretation; the run adds ignoreOutput.
        virtual InterpreterInput interpreterInput() const = 0;
        // Every effect but those the run shows on its view or takes itself.
        virtual void applyEffect(const InterpreterEffect& effect) = 0;
        // The burn's one result, after the reports have told it. A line that
        // closed it in failure is told before its effects, whose alerts wait
        // for the user, so that the tool's exit meanwhile is no failure. A
        // line that closed it in success counts once the tool has exited
        // with status 0; another exit status ends it in failure, with the
        // effects of one. Not told of a burn discarded before.
        virtual void burnConcluded(bool /*succeeded*/) {}
        // The tool exited, all its output taken, and nothing had closed the
        // burn: after the burn was concluded and its status shown; how: its
        // exit ("exit status 1", "signal 9").
        virtual void toolStoppedUnexpectedly(const QString& how) = 0;

    protected:
        ~Client() = default;
    };

    enum class Launch { Started, NoTerminal, Failed };

    BurnRun(Client& client, BurnStatusView& view, BurnerClaims& claims, Alerts& alerts);
    ~BurnRun();
    BurnRun(const BurnRun&) = delete;
    BurnRun& operator=(const BurnRun&) = delete;

    // Starts the tool burning the image to the burner (a trimmed device id) on
    // a new pseudo-terminal; the reports tell of a burn started. Discard the
    // burn before, where one may run. On NoTerminal and Failed the task is
    // kept, stopped, until it is discarded; launchError() tells why a launch
    // failed. Where the image was compared with its published checksum, the
    // check: if it matched and the tool reports having read other bytes than
    // those that matched, the burn fails.
    Launch start(const QString& toolPath, const QString& imagePath, const BurnChoices& choices,
                 const Burner& burner, PtyOpener& ptyOpener,
                 const std::optional<ChecksumCheck>& checksum = std::nullopt);
    QString launchError() const;
    // The status of a start that failed.
    QString launchFailureStatus(Launch launch) const;
    // Stops the burn, if any: a new generation.
    void discard();

    BurnReports& reports() { return reports_; }
    quint64 generation() const { return burnGeneration_; }
    bool hasTask() const { return burnTask_ != nullptr; }
    bool burnClosed() const { return burnClosed_; }
    void setIgnoreOutput(bool ignore) { ignoreOutput_ = ignore; }
    // While held, the tool's output waits in its terminal.
    void holdOutput(bool hold);

    // The output, whether the tool's or (in the main window) the listing's.
    void clearOutput() { outputBuffer_.clear(); }
    void finishOutput() { outputBuffer_.finish(interpret_); }
    void interpretOutput(const QString& line);

    // TaskWrapperController
    void processOutput(const QString& output) override;
    void processExited(int waitStatus) override;
    void processFinished() override;

    // The status of every burn until the tool speaks, and of one whose image
    // has gone.
    static QString startingStatus();
    static QString imageMissingStatus();

private:
    void takeLine(const QString& line);
    // The tool asks whether to erase the disc in the drive, which holds data.
    // The person's answer takes a modal alert: the run answers the tool only
    // if its burn is still there after it.
    void answerEraseQuestion();
    // A success line's effects, or a failure's where the tool read other
    // bytes than those checked.
    std::vector<InterpreterEffect>
    checkedAgainstExpectedImage(std::vector<InterpreterEffect> effects) const;
    void applyEffects(const std::vector<InterpreterEffect>& effects);
    // Whether the run took the effect itself, showing it on the view.
    bool took(const InterpreterEffect& effect);
    void conclude(bool succeeded, const QString& status);
    void releaseBurner();

    Client& client_;
    BurnStatusView& view_;
    BurnerClaims& claims_;
    Alerts& alerts_;
    BurnReports reports_;
    QString toolPath_;
    Burner burner_;
    bool ignoreOutput_ = false;
    OutputLineAssembler outputBuffer_;
    TaskWrapperPtr burnTask_;
    bool burnClosed_ = false;
    // The status of a success line, until the tool's exit confirms it.
    std::optional<QString> successPending_;
    QString expectedFileSha256_;
    // What the burn's fact lines told so far.
    ToolFacts facts_;
    quint64 burnGeneration_ = 0;
    // The burner the running tool holds; empty when none.
    QString claimedDevice_;
    const OutputLineAssembler::Interpret interpret_;
};

} // namespace emberlin
