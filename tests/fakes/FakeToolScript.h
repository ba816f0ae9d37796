#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <vector>

// A scratch folder for the scripted stand-in tool (emberlin-fake-disctool):
// the transcripts it replays and the records it leaves. While the object
// lives, EMBERLIN_FAKE_DIR names the folder in this process's environment, so
// every child started by the code under test finds it; the destructor puts the
// previous value back and removes the folder.
class FakeToolScript {
public:
    FakeToolScript();
    ~FakeToolScript();
    FakeToolScript(const FakeToolScript&) = delete;
    FakeToolScript& operator=(const FakeToolScript&) = delete;

    // The stand-in as built.
    static QString toolPath();
    // Copies the stand-in into folder under name (e.g. beside a copied app) and
    // returns the copy's path; an empty string when the copy failed.
    static QString installTool(const QString& folder,
                               const QString& name = QStringLiteral("emberlin-disctool"));

    QString folder() const { return dir_.path(); }
    // The system environment with EMBERLIN_FAKE_DIR set, for a QProcess that
    // is given an environment of its own.
    QProcessEnvironment environment() const;

    // Transcripts, one directive per element (see the helpers below).
    void setListing(const QStringList& directives) const;
    void setBurn(const QStringList& directives) const;

    // Records: one entry per invocation (its arguments after the program),
    // each signal number received, each process id, all in order.
    std::vector<QStringList> calls() const;
    std::vector<int> signalsReceived() const;
    std::vector<qint64> pids() const;

    // Polls condition until it holds or limit has passed (the event loop runs
    // meanwhile when there is an application object). True when it held.
    static bool waitUntil(const std::function<bool()>& condition,
                          std::chrono::milliseconds limit = std::chrono::seconds(20));

private:
    void writeTranscript(const QString& name, const QStringList& directives) const;
    QStringList recordLines(const QString& name) const;

    QTemporaryDir dir_;
    QByteArray previousFolder_;
    bool hadPreviousFolder_;
};

// Transcript directives. Texts are written as UTF-8 and must not hold "\n"
// (use bytes for that).
namespace FakeDirective {
QString line(const QString& text);    // text and "\n"
QString text(const QString& text);    // text without a line end
QString bytes(const QByteArray& raw); // raw bytes, e.g. invalid UTF-8
QString sleepFor(int milliseconds);
QString exitWith(int status);
QString hang();                       // until a signal
QString abortDelay(int milliseconds); // later signals end the tool this much later
QString crash();                      // SIGKILL on itself
} // namespace FakeDirective
