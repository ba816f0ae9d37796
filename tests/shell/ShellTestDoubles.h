#pragma once

#include "Alerts.h"
#include "Sounds.h"

#include <QStringList>
#include <vector>

// Answers every alert with a fixed button and remembers what was asked.
class ScriptedAlerts final : public Alerts {
public:
    struct Shown {
        QString message;
        QStringList buttons;
    };

    explicit ScriptedAlerts(int answer = 0)
        : answer_(answer) {}

    int runCritical(const QString& message, const QString&, const QStringList& buttons) override {
        shown.push_back({message, buttons});
        return answer_;
    }

    std::vector<Shown> shown;

private:
    int answer_;
};

// Knows every sound and plays none.
class SilentSounds final : public Sounds {
public:
    QString soundNamed(const QString& name) override { return name; }
    void play(const QString&) override {}
};
