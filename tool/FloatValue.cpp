#include "tool/FloatValue.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace emberlin {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

qsizetype skipDigits(QStringView text, qsizetype at) {
    while (at < text.size() && isDigit(text[at])) {
        ++at;
    }
    return at;
}

// The length of the longest leading decimal number in text: optional sign,
// digits with an optional fraction (at least one digit in all), and an
// exponent only when digits follow its "e". 0 when there is none.
qsizetype decimalNumberLength(QStringView text) {
    qsizetype at = 0;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        ++at;
    }
    const qsizetype integerStart = at;
    at = skipDigits(text, at);
    qsizetype digitCount = at - integerStart;
    if (at < text.size() && text[at] == u'.') {
        const qsizetype fractionStart = at + 1;
        const qsizetype fractionEnd = skipDigits(text, fractionStart);
        digitCount += fractionEnd - fractionStart;
        at = fractionEnd;
    }
    if (digitCount == 0) {
        return 0;
    }
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        qsizetype exponentAt = at + 1;
        if (exponentAt < text.size() && (text[exponentAt] == u'+' || text[exponentAt] == u'-')) {
            ++exponentAt;
        }
        const qsizetype exponentEnd = skipDigits(text, exponentAt);
        if (exponentEnd > exponentAt) {
            at = exponentEnd;
        }
    }
    return at;
}

// Whether a number too large or too small for a float is on the large side:
// the position of its first significant digit, moved by its exponent, lies
// before the decimal point. Only called for values out of a float's range,
// which are hundreds of decades away from 1, so this coarse sum decides it.
bool overflows(const std::string& number) {
    const std::size_t exponentAt = number.find_first_of("eE");
    const std::string mantissa = number.substr(0, exponentAt);
    const std::size_t pointAt = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstSignificant = mantissa.find_first_of("123456789");
    long long magnitude =
        static_cast<long long>(pointAt) - static_cast<long long>(firstSignificant);
    if (firstSignificant > pointAt) {
        ++magnitude; // the point itself lies between them
    }
    if (exponentAt != std::string::npos) {
        const std::size_t digitsAt = number.find_first_of("0123456789", exponentAt);
        long long exponent = 0;
        for (std::size_t i = digitsAt; i < number.size() && exponent < 1'000'000; ++i) {
            exponent = exponent * 10 + (number[i] - '0');
        }
        magnitude += number.find('-', exponentAt) == std::string::npos ? exponent : -exponent;
    }
    return magnitude > 0;
}

} // namespace

float floatValue(QStringView text) {
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace()) {
        ++start;
    }
    const QStringView rest = text.mid(start);
    const qsizetype length = decimalNumberLength(rest);
    if (length == 0) {
        return 0.0f;
    }
    // from_chars takes no "+" sign.
    const QStringView unsignedPart = rest[0] == u'+' ? rest.mid(1, length - 1) : rest.left(length);
    const std::string number = unsignedPart.toLatin1().toStdString();
    float value = 0.0f;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        const bool negative = number[0] == '-';
        value = overflows(number) ? std::numeric_limits<float>::infinity() : 0.0f;
        return negative ? -value : value;
    }
    return value;
}

} // namespace emberlin
