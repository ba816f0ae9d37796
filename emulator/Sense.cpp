// SPDX-License-Identifier: GPL-3.0-or-later
#include "Sense.h"

namespace emulator {

Bytes Sense::fixedFormat() const {
    Bytes data(18, 0);
    data[0] = 0x70; // current error, fixed format
    data[2] = key;
    data[7] = 10; // additional sense length
    data[12] = asc;
    data[13] = ascq;
    if (progress) {
        // Sense-key specific bytes with SKSV set: the progress indication
        // of a long operation (SPC-3 4.5.2.4.4).
        data[15] = 0x80;
        put16(data, 16, *progress);
    }
    return data;
}

} // namespace emulator
