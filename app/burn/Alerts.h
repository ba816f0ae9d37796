#pragma once

#include <QString>
#include <QStringList>

namespace emberlin {

// Modal critical alerts. A seam: the app shows real message boxes, tests answer.
class Alerts {
public:
    virtual ~Alerts() = default;
    // Shows a critical alert with plain-text message and informative text and
    // the buttons in the given order; Return presses the default one, which is
    // the first unless that answer is the destructive one. Returns the index of
    // the button pressed.
    virtual int runCritical(const QString& message, const QString& informative,
                            const QStringList& buttons, int defaultButton = 0) = 0;
};

} // namespace emberlin
