#pragma once

#include "process/TaskWrapper.h"
#include "process/TaskWrapperController.h"
#include "tool/OutputLineAssembler.h"
#include "tool/ProgressInterpreter.h"

#include <QString>

namespace emberlin {

class BurnerClaims;
class PtyOpener;
struct BurnChoices;

// One burner's burn at a time, for the main window or a row of the copies
// window: the disc-image tool on a pseudo-terminal of its own (burnTask), its
// output cut into lines (outputBuffer), each line's effects handed to the
// client in order, whether the output is ignored from now on (ignoreOutput)
// and whether a line has closed the burn (burnClosed). A run serves its client
// burn after burn; its generation grows whenever a burn is replaced or
// discarded, so that work spanning a modal alert (whose nested event loop may
// start a new burn, cancel or quit) can tell that its burn has gone. While
// its tool runs, the run holds its burner in the claims.
class BurnRun final : public TaskWrapperController {
public:
    class Client {
    public:
        // The client's part of a line's interpretation; the run adds ignoreOutput.
        virtual InterpreterInput interpreterInput() const = 0;
        // Every effect but SetIgnoreOutput, which the run takes itself.
        virtual void applyEffect(const InterpreterEffect& effect) = 0;
        // A fact line while the run has a task.
        virtual void factReported(const QString& line) = 0;
        // A line closed the burn: told before its effects, whose alerts wait
        // for the user, so that the tool's exit meanwhile is no failure.
        virtual void burnClosedByLine(bool succeeded, const QString& status) = 0;
        // A line refused the disc in the drive, after its effects; the burn
        // waits for another disc. The main window keeps the refusal in view.
        virtual void discRefusedByLine(const QString& /*status*/) {}
        // The tool exited, all its output taken, and nothing had closed the burn.
        virtual void toolStoppedUnexpectedly(int waitStatus) = 0;

    protected:
        ~Client() = default;
    };

    enum class Launch { Started, NoTerminal, Failed };

    BurnRun(Client& client, BurnerClaims& claims);
    ~BurnRun();
    BurnRun(const BurnRun&) = delete;
    BurnRun& operator=(const BurnRun&) = delete;

    // Starts the tool burning the image to the burner (a trimmed device id) on
    // a new pseudo-terminal. Discard the burn before, where one may run. On
    // NoTerminal and Failed the task is kept, stopped, until it is discarded;
    // launchError() tells why a launch failed.
    Launch start(const QString& toolPath, const QString& imagePath, const BurnChoices& choices,
                 const QString& device, PtyOpener& ptyOpener);
    QString launchError() const;
    // Stops the burn, if any: a new generation.
    void discard();

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

    // How a tool that ended by itself ended: "exit status 1", "signal 9".
    static QString exitDescription(int waitStatus);

private:
    void takeLine(const QString& line);
    void releaseBurner();

    Client& client_;
    BurnerClaims& claims_;
    bool ignoreOutput_ = false;
    OutputLineAssembler outputBuffer_;
    TaskWrapperPtr burnTask_;
    bool burnClosed_ = false;
    quint64 burnGeneration_ = 0;
    // The burner the running tool holds; empty when none.
    QString claimedDevice_;
    const OutputLineAssembler::Interpret interpret_;
};

} // namespace emberlin
