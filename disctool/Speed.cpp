// SPDX-License-Identifier: GPL-3.0-or-later
#include "Speed.h"

#include <cmath>

namespace disctool {

namespace {

// The medium's 1x in tenths of kB/s; 0 for media without a nominal speed.
int tenthsOfOneX(MediumFamily family) {
    switch (family) {
    case MediumFamily::CD:
        return 1764;
    case MediumFamily::DVD:
        return 13850;
    case MediumFamily::BD:
        return 44960;
    case MediumFamily::File:
    case MediumFamily::Unknown:
        break;
    }
    return 0;
}

} // namespace

int kilobytesPerSecond(MediumFamily family, int multiple) {
    if (multiple <= 0) {
        return 0;
    }
    // Rounded up as libburn asks: CD 4x is 706.
    return (tenthsOfOneX(family) * multiple + 9) / 10;
}

std::string describeSpeed(MediumFamily family, int kilobytesPerSecond) {
    const std::string rate = std::to_string(kilobytesPerSecond) + " kB/s";
    if (tenthsOfOneX(family) == 0) {
        return rate;
    }
    const double multiple = 10.0 * kilobytesPerSecond / tenthsOfOneX(family);
    const long tenths = std::lround(multiple * 10.0);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "x (" + rate + ")";
}

} // namespace disctool
