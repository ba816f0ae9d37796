#pragma once

#include <QByteArray>
#include <QString>

namespace emberlin {

// Writes a whole file at path and never through a link, whoever planted it:
// the bytes go to a fresh file beside it, flushed to the disk, which then
// takes the name. A regular file of that name is replaced (the file dialog
// has asked the user); a link, dangling or not, a folder or anything else
// there is left alone and nothing is written. The file takes the mode the
// umask gives, never the mode of the one it replaces. Empty on success, else
// why not, for the user.
QString writeFileWithoutFollowingLinks(const QString& path, const QByteArray& contents);

} // namespace emberlin
