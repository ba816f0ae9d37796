// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Sense.h"

namespace emulator {

Bytes Sense::fixedFormat() const {
    Bytes data(18, 0);
    data[0] = 0x70; // current error, fixed format
    data[2] = key;
    data[7] = 10; // additional sense length
    data[12] = asc;
    data[13] = ascq;
    if (information) {
        // Valid, with the address of the block in the Information field
        // (SPC-3 4.5.3): where a read met its first unreadable block.
        data[0] |= 0x80;
        put32(data, 3, *information);
    }
    if (progress) {
        // Sense-key specific bytes with SKSV set: the progress indication
        // of a long operation (SPC-3 4.5.2.4.4).
        data[15] = 0x80;
        put16(data, 16, *progress);
    }
    return data;
}

} // namespace emulator
