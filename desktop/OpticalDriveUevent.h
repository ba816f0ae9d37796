#pragma once

#include <string_view>

namespace emberlin {

// Whether a udev event on a block device announces an optical drive that came
// or went. A disc put in or taken out is a "change" of a drive that stays, and
// does not count.
bool announcesOpticalDriveAddedOrRemoved(std::string_view action, std::string_view idCdrom);

} // namespace emberlin
