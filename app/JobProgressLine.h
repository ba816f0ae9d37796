#pragma once

#include "BurnClock.h"
#include "BurnCommand.h"
#include "BurnJob.h"
#include "FactLine.h"
#include "TimeLeftEstimator.h"

#include <QObject>
#include <QTimer>
#include <optional>

namespace emberlin {

class MainWindow;

// The line below the status while a burn erases, burns or verifies: the
// phase's speed as users know it and the time left for the whole job.
class JobProgressLine final : public QObject {
    Q_OBJECT

public:
    JobProgressLine(MainWindow& window, BurnClock clock, QObject* parent = nullptr);

    void burnStarted(const QString& imagePath, const QString& burnerTitle,
                     const BurnChoices& choices);
    void burnStateChanged(int burnState);
    void burnProgressed(double fraction);
    void burnFactReported(const QString& line);

private:
    double now() const;
    void takeJob();
    void refresh();

    MainWindow& window_;
    BurnClock clock_;
    QDateTime started_;
    BurnChoices choices_;
    ToolFacts facts_;
    std::optional<estimate::Family> family_;
    std::optional<estimate::TimeLeftEstimator> estimator_;
    std::optional<estimate::Phase> phase_;
    // Whether the tool counts this phase's progress in bytes.
    bool bytesCounted_ = false;
    // Counts the time left down between the tool's lines.
    QTimer ticks_;
};

} // namespace emberlin
