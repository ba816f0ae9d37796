// SPDX-License-Identifier: GPL-3.0-or-later
#include "Speed.h"

namespace disctool {

int kilobytesPerSecond(MediumFamily family, int multiple) {
    if (multiple <= 0) {
        return 0;
    }
    switch (family) {
    case MediumFamily::CD:
        // 176.4 kB/s, rounded up as libburn asks: 4x is 706.
        return (1764 * multiple + 9) / 10;
    case MediumFamily::DVD:
        return 1385 * multiple;
    case MediumFamily::BD:
        return 4496 * multiple;
    case MediumFamily::File:
    case MediumFamily::Unknown:
        break;
    }
    return 0;
}

} // namespace disctool
