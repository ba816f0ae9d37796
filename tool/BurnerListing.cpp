#include "BurnerListing.h"

#include "BurnCommand.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <algorithm>
#include <climits>

namespace {

int remainingMilliseconds(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, INT_MAX));
}

} // namespace

ListingOutcome runBurnerListing(const QString& toolPath, std::chrono::milliseconds timeLimit) {
    ListingOutcome outcome;
    const QDeadlineTimer deadline(timeLimit);
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.setStandardInputFile(QProcess::nullDevice());
    tool.start(toolPath, listingArguments(), QIODevice::ReadOnly);
    if (!tool.waitForStarted(remainingMilliseconds(deadline))) {
        outcome.result = ListingOutcome::Result::FailedToStart;
        return outcome; // QProcess kills and reaps a child stuck in its start
    }

    // Read while it runs, so that a tool with much to say never blocks on a
    // full pipe.
    QByteArray bytes;
    while (tool.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            tool.kill();
            tool.waitForFinished(-1);
            outcome.result = ListingOutcome::Result::TimedOut;
            break;
        }
        if (!tool.waitForReadyRead(remainingMilliseconds(deadline)) &&
            tool.state() != QProcess::NotRunning) {
            // No more output to wait for (its output closed, or time is up):
            // wait for the end instead of polling a closed channel.
            tool.waitForFinished(remainingMilliseconds(deadline));
        }
        bytes += tool.readAll();
    }
    bytes += tool.readAll();
    outcome.output = QString::fromUtf8(bytes);
    return outcome;
}
