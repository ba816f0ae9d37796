#pragma once

#include "BurnClock.h"
#include "BurnCommand.h"
#include "BurnTimeTracker.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace emberlin {

// The line below a burn's status while it erases, burns or verifies: the
// phase's speed as users know it and the time left for the whole job.
class JobProgressLine final : public QObject {
    Q_OBJECT

public:
    // Shows the line's text; an empty one hides the line.
    using Show = std::function<void(const QString& text)>;

    JobProgressLine(Show show, BurnClock clock, QObject* parent = nullptr);

    void burnStarted(const QString& imagePath, const QString& burnerTitle,
                     const BurnChoices& choices);
    void burnStateChanged(int burnState);
    void burnProgressed(double fraction);
    void burnFactReported(const QString& line);

private:
    double now() const;
    void refresh();

    Show show_;
    BurnClock clock_;
    QDateTime started_;
    BurnTimeTracker tracker_;
    // Counts the time left down between the tool's lines.
    QTimer ticks_;
};

} // namespace emberlin
