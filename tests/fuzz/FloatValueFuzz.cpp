// The number reader against the C library's strtof on the same text, cut
// before anything that strtof reads but a progress value never is ("0x",
// "inf", "nan"): the same float, bit for bit.
#include "tests/fuzz/FuzzCheck.h"
#include "tool/FloatValue.h"

#include <QString>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    // ASCII without NUL, where C's white space and Qt's agree.
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return char(c & 0x7f) == 0 ? ' ' : char(c & 0x7f); });
    const float value = emberlin::floatValue(QString::fromLatin1(text));

    text.resize(std::min(text.size(), text.find_first_of("xXiInN")));
    const float expected = std::strtof(text.c_str(), nullptr);
    check(std::bit_cast<std::uint32_t>(value) == std::bit_cast<std::uint32_t>(expected),
          "the number reader agrees with strtof");
    return 0;
}
