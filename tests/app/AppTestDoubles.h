#pragma once

#include "Alerts.h"
#include "PtyOpener.h"
#include "Sounds.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Records every alert; answers it through `answer` (the first button when none
// is set). The answer runs while the alert is "open", as a modal loop would.
class RecordingAlerts final : public Alerts {
public:
    struct Alert {
        QString message;
        QString informative;
        QStringList buttons;
        bool operator==(const Alert&) const = default;
    };

    int runCritical(const QString& message, const QString& informative,
                    const QStringList& buttons) override;

    std::vector<Alert> shown;
    std::function<int(const Alert&)> answer;
};

// Names a sound "sound:NAME" and records what is looked up and played.
class RecordingSounds final : public Sounds {
public:
    QString soundNamed(const QString& name) override;
    void play(const QString& sound) override;

    QStringList lookedUp;
    QStringList played;
    std::function<void(const QString&)> onLookUp;
};

// A system that has no pseudo-terminal left.
class RefusingPtyOpener final : public PtyOpener {
public:
    bool openRawPair(FileDescriptor& master, FileDescriptor& slave) override;
};
