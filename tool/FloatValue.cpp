#include "tool/FloatValue.h"

#include <QLocale>
#include <QString>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace emberlin {

namespace {

bool startsANumber(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u'.';
}

// A number from_chars found beyond a float's range, where it leaves the value
// alone: Qt's C-locale reader of the same characters tells the side, an
// infinity above the range and 0 below it.
float outOfRange(const char* first, const char* last) {
    const double wide = QLocale::c().toDouble(QString::fromLatin1(first, last - first));
    return std::fabs(wide) > 1.0 ? std::numeric_limits<float>::infinity() : 0.0f;
}

} // namespace

float floatValue(QStringView text) {
    const auto start =
        std::find_if_not(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
    const QStringView rest = text.sliced(start - text.begin());
    const bool negative = rest.startsWith(u'-');
    // from_chars takes no "+" sign, and would read "inf" and "nan" too.
    const QStringView magnitude = rest.sliced(negative || rest.startsWith(u'+') ? 1 : 0);
    if (magnitude.isEmpty() || !startsANumber(magnitude.front())) {
        return 0.0f;
    }
    const QByteArray number = magnitude.toLatin1();
    float value = 0.0f;
    const auto [end, error] =
        std::from_chars(number.begin(), number.end(), value, std::chars_format::general);
    if (error == std::errc::invalid_argument) {
        return 0.0f;
    }
    if (error == std::errc::result_out_of_range) {
        value = outOfRange(number.begin(), end);
    }
    return negative ? -value : value;
}

} // namespace emberlin
