#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>

namespace emberlin {

// Runs one program with its standard output and standard error on one pipe and
// nothing on its standard input, collects what it writes while it runs, and
// reports once, from the event loop: it exited, it could not be started, or it
// was still running when its time was up (it is killed then). Discarding the
// task kills a child that still runs.
class PipeTask final : public QObject {
    Q_OBJECT

public:
    enum class Outcome { Exited, FailedToStart, TimedOut };

    PipeTask(QString program, QStringList arguments, std::chrono::milliseconds timeLimit,
             QObject* parent = nullptr);
    ~PipeTask() override;

    void start();

signals:
    // output: everything the program wrote, decoded as UTF-8 (each invalid
    // sequence becomes U+FFFD).
    void finished(emberlin::PipeTask::Outcome outcome, const QString& output);

private:
    void report(Outcome outcome);

    QString program_;
    QStringList arguments_;
    QProcess process_;
    QTimer limit_;
    QByteArray output_;
    bool timedOut_ = false;
    bool reported_ = false;
};

} // namespace emberlin
