#pragma once

#include <QStringView>

namespace emberlin {

// Reads a leading decimal number the way the tool's progress values have always
// been read: leading white space skipped, optional sign, digits with an optional
// fraction and exponent; 0.0 when the text does not begin with a number.
// Independent of the locale.
float floatValue(QStringView text);

} // namespace emberlin
