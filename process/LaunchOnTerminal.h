#pragma once

#include <QString>
#include <QStringList>
#include <sys/types.h>

namespace emberlin {

// Starts arguments[0] with arguments[1..] on the slave side of a pseudo-terminal,
// in a session of its own with the slave as its controlling terminal and as its
// standard input, output and error, with default signal handling.
// Returns the child's pid. When the program cannot be run, returns -1 and says
// why in error; no child is left behind then, not even a zombie.
pid_t launchOnTerminal(const QStringList& arguments, int master, int slave, QString& error);

} // namespace emberlin
