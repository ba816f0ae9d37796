#pragma once

#include "tool/BurnState.h"
#include "tool/FactLine.h"

#include <QObject>
#include <QString>

namespace emberlin {

class MainWindow;

// The line below the status while the window waits for another disc: why the
// last one was refused, which the prompt for a disc replaces on the status
// line, and for a disc too small, its room and what the image needs.
class DiscRefusalNote final : public QObject {
    Q_OBJECT

public:
    explicit DiscRefusalNote(MainWindow& window, QObject* parent = nullptr);

    // The note's text: the sizes where the tool told them with the refusal and
    // they show the disc too small, the refusal's status otherwise.
    static QString textFor(const QString& status, const ToolFacts& toldWithRefusal);

    void burnStateChanged(BurnState burnState);
    void burnFactReported(const QString& line);
    void discRefused(const QString& status);

private:
    MainWindow& window_;
    // What the tool told since the last refusal or the last change of state.
    ToolFacts facts_;
};

} // namespace emberlin
