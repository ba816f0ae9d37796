#pragma once

#include <QString>
#include <QStringList>

namespace emberlin {

// Modal critical alerts. A seam: the app shows real message boxes, tests answer.
class Alerts {
public:
    virtual ~Alerts() = default;
    // Shows a critical alert with plain-text message and informative text and
    // the buttons in the given order, the first being the default. Returns the
    // index of the button pressed.
    virtual int runCritical(const QString& message, const QString& informative,
                            const QStringList& buttons) = 0;
};

} // namespace emberlin
