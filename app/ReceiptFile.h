#pragma once

#include "BurnRecord.h"

namespace emberlin {

class Alerts;

// Beside the image, named after it: "disc.iso" -> "disc burn receipt.txt".
QString suggestedReceiptPath(const QString& imagePath);

// Writes the record's receipt to path, never through a link there; a failure
// is shown in an alert.
bool saveBurnReceipt(const BurnRecord& record, const QString& path, Alerts& alerts);

} // namespace emberlin
