#pragma once

#include "posix/FileDescriptor.h"

#include <QString>

namespace emberlin {

// Opens a file to read only if it is a regular file, so that nothing waits on
// what the path names: a named pipe (whose opening waits for a writer), a
// device or a socket is refused, also one swapped in between the look and the
// opening. Reads then block as usual. An invalid descriptor and, in problem,
// why not for the user otherwise. With Links::Refuse a symbolic link at the
// path is refused too, not followed: for files whose owner decides whether
// they are trusted.
enum class Links { Follow, Refuse };
posix::FileDescriptor openRegularFile(const QString& path, QString& problem,
                                      Links links = Links::Follow);

} // namespace emberlin
