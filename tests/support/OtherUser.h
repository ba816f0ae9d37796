#pragma once

#include <QString>
#include <QStringList>

// Another local user, to play someone who shares the machine: "nobody",
// reached with setpriv. Only root can become it (CI runs as root); tests skip
// where this process cannot.
namespace otheruser {

// Why not, or empty when tests can act as the other user.
QString unavailableBecause();
// The command line that runs the command as the other user.
QStringList commandAs(const QStringList& command);
// Runs the command as the other user to its end; whether it exited with 0.
bool run(const QStringList& command);
// A folder like /tmp inside parent: everyone may add files, and only their
// owner may remove or rename them. parent is opened for others to pass.
QString makeSharedFolder(const QString& parent, const QString& name);

} // namespace otheruser
