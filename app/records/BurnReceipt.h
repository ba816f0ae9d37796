#pragma once

#include "app/records/BurnRecord.h"

#include <QString>

namespace emberlin {

// The receipt's readable text, in the user's language. It claims a verify only
// where one ran to its end and gave a read-back SHA-256, and that the disc
// holds exactly the image only where the burn also succeeded and the drive
// read the disc anew. What came from outside is escaped, so that no name can
// start a line of its own.
QString composeBurnReceipt(const BurnRecord& record);

} // namespace emberlin
