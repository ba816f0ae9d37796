#pragma once

#include <QString>
#include <functional>
#include <ostream>
#include <sys/types.h>

// Readable texts in failure messages (QStringList prints through this too).
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// Runs the event loop until the condition holds; false after a generous bound.
bool waitFor(const std::function<bool()>& condition);

int openDescriptorCount();
// Children of this process, zombies included.
int childProcessCount();
// True once the process no longer exists, not even as a zombie.
bool processGone(pid_t pid);
