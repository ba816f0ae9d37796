#pragma once

#include <QString>

namespace emberlin {

// Whether a path names a disc image by its last extension (iso, img, dmg,
// toast, compared exactly): the one rule for drops, opened files and files
// handed over by a second launch.
bool isDiscImageName(QString path);

} // namespace emberlin
