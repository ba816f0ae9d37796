#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

// A scratch folder for the scripted stand-in tool (emberlin-fake-disctool,
// described in FakeDisctool.cpp): the transcripts it replays and the records
// it leaves. While the object lives, EMBERLIN_FAKE_DIR names the folder in this
// process's environment (one at a time), so every child the code under test
// starts finds it.
class FakeToolScript {
public:
    FakeToolScript();
    ~FakeToolScript();
    FakeToolScript(const FakeToolScript&) = delete;
    FakeToolScript& operator=(const FakeToolScript&) = delete;

    static QString toolPath();
    // Copies the stand-in into folder under the tool's name; the copy's path,
    // empty when the copy failed.
    static QString installTool(const QString& folder);

    QString folder() const { return dir_.path(); }

    // Transcripts, one step per element (see the helpers below).
    void setListing(const QStringList& steps) const;
    void setBurn(const QStringList& steps) const;
    // What a burn to this device does instead.
    void setBurnOn(const QString& device, const QStringList& steps) const;

    // Every invocation's arguments, and every signal received, in order.
    std::vector<QStringList> calls() const;
    std::vector<int> signalsReceived() const;
    // The invocations other than listings.
    std::vector<QStringList> burnCalls() const;

    // Lets a tool waiting in "await name" go on; whether one passed "mark name".
    void release(const QString& name) const;
    bool marked(const QString& name) const;

private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    void writeTranscript(const QString& name, const QStringList& steps) const;
    QStringList recordLines(const QString& name) const;

    QTemporaryDir dir_;
};

// Transcript steps.
namespace fake {
QString say(const QByteArray& bytes); // on standard output, in one write
QString sayOnStandardError(const QByteArray& bytes);
QString await(const QString& name);
QString mark(const QString& name);
QString readLine(); // marks "read-LINE"
QString exitWith(int status);
QString hang();
QString crash();
} // namespace fake
