#pragma once

#include "process/TaskWrapper.h"
#include "process/TaskWrapperController.h"
#include "tool/FactLine.h"
#include "tool/OutputLineAssembler.h"
#include "tool/ProgressInterpreter.h"

#include <QString>
#include <optional>
#include <vector>

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
        // The burn's one result, which everything that tells of it reads. A
        // line that closed it in failure is told before its effects, whose
        // alerts wait for the user, so that the tool's exit meanwhile is no
        // failure. A line that closed it in success counts once the tool has
        // exited with status 0; another exit status ends it in failure, with
        // the effects of one. Not told of a burn discarded before.
        virtual void burnConcluded(bool succeeded, const QString& status) = 0;
        // A line refused the disc in the drive, after its effects; the burn
        // waits for another disc. The main window keeps the refusal in view.
        virtual void discRefusedByLine(const QString& /*status*/) {}
        // The tool asks whether to erase the disc in the drive, which holds
        // data (disc: its medium and what it holds, as far as told). True
        // erases it; false keeps it, and the tool asks for another disc. The
        // answer may take a modal alert: the run answers only if its burn is
        // still there after it.
        virtual bool eraseAsked(const ToolFacts& disc) = 0;
        // The tool was told to erase the disc it asked about.
        virtual void eraseAgreed(const ToolFacts& disc) = 0;
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
    // launchError() tells why a launch failed. Where the image was found equal
    // to a published checksum, expectedFileSha256 is the SHA-256 it had then:
    // if the tool reports having read other bytes, the burn fails.
    Launch start(const QString& toolPath, const QString& imagePath, const BurnChoices& choices,
                 const QString& device, PtyOpener& ptyOpener,
                 const QString& expectedFileSha256 = {});
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
    void answerEraseQuestion();
    // A success line's effects, or a failure's where the tool read other
    // bytes than those checked.
    std::vector<InterpreterEffect>
    checkedAgainstExpectedImage(std::vector<InterpreterEffect> effects) const;
    void applyEffects(const std::vector<InterpreterEffect>& effects);
    void releaseBurner();

    Client& client_;
    BurnerClaims& claims_;
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
