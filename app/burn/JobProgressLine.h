#pragma once

#include "app/records/BurnClock.h"
#include "app/records/BurnTimeTracker.h"
#include "tool/BurnCommand.h"
#include "tool/BurnState.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace emberlin {

// The line below a burn's status while it erases, burns or verifies: the
// phase's speed as users know it and the time left for the whole job; and
// the whole job's progress, for the taskbar.
class JobProgressLine final : public QObject {
    Q_OBJECT

public:
    // Shows the line's text; an empty one hides the line.
    using Show = std::function<void(const QString& text)>;

    JobProgressLine(Show show, SteadyClock clock, QObject* parent = nullptr);

    void burnStarted(const QString& imagePath, const QString& burnerTitle,
                     const BurnChoices& choices);
    void burnStateChanged(BurnState burnState);
    void burnProgressed(double fraction);
    void burnFactReported(const QString& line);

signals:
    // While the burn erases, burns or verifies: how much of the whole job is
    // done, 0.0 to 1.0, one run from the erase's start to the verify's end.
    void jobProgressed(double share);

private:
    double now() const;
    void refresh();

    Show show_;
    SteadyClock clock_;
    std::chrono::steady_clock::time_point started_;
    BurnTimeTracker tracker_;
    // Counts the time left down between the tool's lines.
    QTimer ticks_;
};

} // namespace emberlin
