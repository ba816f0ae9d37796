#pragma once

#include <QString>

namespace emberlin {

class Alerts;
struct ToolFacts;

// The question before the tool erases a disc that holds data, the same in
// every window: it names the burner, the medium as people name it and what
// the disc holds. Keeping the disc is the default and what Escape gives.
// True: erase it.
bool askToEraseDisc(Alerts& alerts, const QString& burnerTitle, const ToolFacts& disc);

} // namespace emberlin
