// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/Speed.h"

#include <cmath>

namespace disctool {

namespace {

// The bytes per second that speed fields count at the medium's 1x; nothing
// for media without a nominal speed.
std::optional<std::int64_t> speedFieldBytesAt1x(std::optional<media::Family> family) {
    return family ? std::optional(media::speedFieldBytesPerSecondAt1x(*family)) : std::nullopt;
}

} // namespace

int kilobytesPerSecond(std::optional<media::Family> family, int multiple) {
    const std::optional<std::int64_t> at1x = speedFieldBytesAt1x(family);
    if (multiple <= 0 || !at1x) {
        return 0;
    }
    // Rounded up as libburn asks: CD 4x is 706.
    return static_cast<int>((*at1x * multiple + 999) / 1000);
}

std::string describeSpeed(std::optional<media::Family> family, int kilobytesPerSecond) {
    const std::string rate = std::to_string(kilobytesPerSecond) + " kB/s";
    const std::optional<std::int64_t> at1x = speedFieldBytesAt1x(family);
    if (!at1x) {
        return rate;
    }
    const double multiple = 1000.0 * kilobytesPerSecond / static_cast<double>(*at1x);
    const long tenths = std::lround(multiple * 10.0);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "x (" + rate + ")";
}

} // namespace disctool
