#pragma once

#include "app/records/BurnRecord.h"

namespace emberlin {

class Alerts;

// Beside the image, named after it: "disc.iso" -> "disc burn receipt.txt".
QString suggestedReceiptPath(const QString& imagePath);

// Writes the record's receipt to path, never through a link there; a failure
// is shown in an alert.
bool saveBurnReceipt(const BurnRecord& record, const QString& path, Alerts& alerts);

// For several discs burned at once: "disc.iso" -> "disc burn receipts.txt",
// holding each disc's receipt in turn, written as a single receipt is.
QString suggestedReceiptsPath(const QString& imagePath);
bool saveBurnReceipts(const std::vector<BurnRecord>& records, const QString& path, Alerts& alerts);

} // namespace emberlin
