#include "app/burn/BurnerClaims.h"

namespace emberlin {

void BurnerClaims::claim(const QString& device, const BurnRun& holder) {
    holders_.insert(device, &holder);
    emit changed();
}

void BurnerClaims::release(const QString& device, const BurnRun& holder) {
    if (holders_.value(device) != &holder)
        return;
    holders_.remove(device);
    emit changed();
}

} // namespace emberlin
