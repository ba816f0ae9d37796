#pragma once

#include <QCoreApplication>
#include <QString>

// The line writer is built beside every benchmark that drives it.
inline QString benchWriterPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/emberlin-bench-writer");
}
