#pragma once

#include <QString>
#include <ostream>

// Readable failure messages for texts (QStringList prints through this too).
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
