#pragma once

#include "tests/fakes/FakeToolScript.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

// The real emberlin run headless with its settings in a scratch configuration
// folder and the stand-in tool's records in a scratch folder. Every process it
// started is ended when it goes.
class ScratchApp {
public:
    enum class Layout {
        CopiedBesideTool, // copied into a scratch folder, the stand-in beside it
        AsItIs,           // run where it is (e.g. installed), finding its tool itself
    };

    explicit ScratchApp(const QString& executable = QString(EMBERLIN_APP),
                        Layout layout = Layout::CopiedBesideTool);
    ~ScratchApp();
    ScratchApp(const ScratchApp&) = delete;
    ScratchApp& operator=(const ScratchApp&) = delete;

    const FakeToolScript& tool() const { return tool_; }
    QString workFolder() const;                     // the launches' working folder
    QString settingsFile() const;                   // where the app keeps its options
    QString createImage(const QString& name) const; // in the work folder

    // Starts the app with these arguments, in the work folder unless another
    // is named; prepare may change the process (its environment, its channels)
    // before it starts. The process stays owned here.
    QProcess& launch(const QStringList& arguments = {}, const QString& folder = {},
                     const std::function<void(QProcess&)>& prepare = {});
    // Runs a launch to its end (bounded); its exit code, or -1.
    int launchToEnd(const QStringList& arguments);

    // Waits (bounded) until the stand-in has recorded this many calls.
    bool waitForCalls(std::size_t count) const;

private:
    FakeToolScript tool_;
    QTemporaryDir root_;
    QString executable_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

// Whether the process ended (bounded wait) with a normal exit and status 0.
bool endsCleanly(QProcess& process);
