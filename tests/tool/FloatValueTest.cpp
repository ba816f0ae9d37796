#include "tool/FloatValue.h"

#include "tests/support/TestSupport.h"

#include <cfloat>
#include <cmath>
#include <limits>

using emberlin::floatValue;

TEST(FloatValue, ReadsTheLeadingDecimalNumber) {
    constexpr float infinity = std::numeric_limits<float>::infinity();
    // clang-format off
    const std::pair<QString, float> cases[] = {
        {"50", 50.0f}, {"  50", 50.0f}, {"\t\r\n 7", 7.0f}, {QString::fromUtf16(u"\u00a050"), 50.0f},
        {"+3", 3.0f}, {"-1", -1.0f}, {"5.", 5.0f}, {".5", 0.5f}, {"-.25", -0.25f}, {"007.50", 7.5f},
        {"12.5%", 12.5f}, {"99.999999", 99.999999f}, {"1e2", 100.0f}, {"1E+2x", 100.0f},
        {"25e-1", 2.5f}, {"2e", 2.0f}, {"2e-", 2.0f}, {"2e+x", 2.0f}, {"2.5.3", 2.5f},
        {"1,5", 1.0f}, // the decimal mark is "." whatever the locale
        {"3.4028235e38", FLT_MAX}, {"1e39", infinity}, {"-1e99", -infinity},
        {"1e999999999999999999999", infinity}, {"1" + QString(400, u'0'), infinity},
        {"1e-99", 0.0f}, {"0." + QString(400, u'0') + "1", 0.0f}, {"0e999999", 0.0f},
    };
    // clang-format on
    for (const auto& [text, value] : cases)
        EXPECT_EQ(floatValue(text), value) << text.toStdString();
}

TEST(FloatValue, TextThatDoesNotBeginWithANumberIsZero) {
    // clang-format off
    const QString cases[] = {"", "   ", ".", "-", "+", "- 5", "+-5", "e5", "abc", "T:50", "inf",
                             "-infinity", "nan", QString::fromUtf16(u"\uff15") /* fullwidth 5 */,
                             QString::fromUtf16(u"\u0665")};
    // clang-format on
    for (const QString& text : cases) {
        const float value = floatValue(text);
        EXPECT_EQ(value, 0.0f) << text.toStdString();
        EXPECT_FALSE(std::signbit(value)) << text.toStdString();
    }
}
