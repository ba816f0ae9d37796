#include "desktop/OpticalDriveUevent.h"

namespace emberlin {

bool announcesOpticalDriveAddedOrRemoved(std::string_view action, std::string_view idCdrom) {
    return (action == "add" || action == "remove") && idCdrom == "1";
}

} // namespace emberlin
