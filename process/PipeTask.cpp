#include "process/PipeTask.h"

namespace emberlin {

PipeTask::PipeTask(QString program, QStringList arguments, std::chrono::milliseconds timeLimit,
                   QObject* parent)
    : QObject(parent)
    , program_(std::move(program))
    , arguments_(std::move(arguments)) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardInputFile(QProcess::nullDevice());
    // Read while it runs, so a program with much to say never blocks on a full pipe.
    connect(&process_, &QProcess::readyRead, this, [this] { output_ += process_.readAll(); });
    connect(&process_, &QProcess::finished, this,
            [this] { report(timedOut_ ? Outcome::TimedOut : Outcome::Exited); });
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            report(Outcome::FailedToStart);
    });
    limit_.setSingleShot(true);
    limit_.setInterval(timeLimit);
    connect(&limit_, &QTimer::timeout, this, [this] {
        timedOut_ = true;
        process_.kill(); // finished follows once it is reaped
    });
}

PipeTask::~PipeTask() {
    process_.disconnect(this);
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(-1);
    }
}

void PipeTask::start() {
    limit_.start();
    process_.start(program_, arguments_, QIODevice::ReadOnly);
}

void PipeTask::report(Outcome outcome) {
    if (reported_)
        return;
    reported_ = true;
    limit_.stop();
    output_ += process_.readAll();
    // Never from inside start(): the owner may discard the task when it hears.
    QMetaObject::invokeMethod(
        this, [this, outcome] { emit finished(outcome, QString::fromUtf8(output_)); },
        Qt::QueuedConnection);
}

} // namespace emberlin
