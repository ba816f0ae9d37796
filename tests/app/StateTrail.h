#pragma once

#include "EmberlinController.h"

#include <QObject>
#include <vector>

// Every state the controller moves to, with repeats of the same state folded.
class StateTrail : public QObject {
public:
    explicit StateTrail(EmberlinController& controller) {
        connect(&controller, &EmberlinController::burnStateChanged, this, [this](int state) {
            if (states.empty() || states.back() != state)
                states.push_back(state);
        });
    }
    std::vector<int> states;
};
