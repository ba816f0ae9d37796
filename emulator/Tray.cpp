// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tray.h"

namespace emulator {

Tray::Tray(std::size_t discCount, Trigger insertAfter, Settling settling, const Moment& now)
    : discCount_(discCount)
    , arrival_(std::move(insertAfter))
    , settling_(std::move(settling)) {
    arrival_.arm(now);
    arrivalArmed_ = arrival_.fired(now);
    update(now);
    // A disc that is there when the drive starts is no news.
    changed_ = false;
    mediaEvent_ = 0;
}

void Tray::update(const Moment& now) {
    if (loaded_ || !arrivalArmed_ || next_ >= discCount_ || !arrival_.fired(now)) {
        return;
    }
    // The user puts the disc in and pushes the tray home.
    arrivalArmed_ = false;
    loaded_ = next_++;
    open_ = false;
    changed_ = true;
    mediaEvent_ = 2;
    settle(now);
}

void Tray::settle(const Moment& now) {
    if (settling_.noMediumFor) {
        settling_.noMediumFor->arm(now);
    }
    if (settling_.unready) {
        settling_.unready->arm(now);
    }
}

bool Tray::settled(const Moment& now) const {
    return !(settling_.noMediumFor && !settling_.noMediumFor->fired(now)) &&
           !(settling_.unready && !settling_.unready->fired(now));
}

std::optional<Sense> Tray::readiness(const Moment& now, bool reportChange) {
    if (!loaded_) {
        return open_ ? sense::noMediumTrayOpen : sense::noMediumTrayClosed;
    }
    if (settling_.noMediumFor && !settling_.noMediumFor->fired(now)) {
        return sense::noMediumTrayClosed;
    }
    if (settling_.unready && !settling_.unready->fired(now)) {
        return sense::becomingReady;
    }
    if (changed_ && reportChange) {
        changed_ = false;
        return sense::mediumChanged;
    }
    return std::nullopt;
}

std::optional<Sense> Tray::eject(const Moment& now) {
    if (prevented_) {
        return sense::removalPrevented;
    }
    open_ = true;
    if (loaded_) {
        loaded_.reset();
        mediaEvent_ = 3;
    }
    if (!arrivalArmed_) {
        arrivalArmed_ = true;
        arrival_.arm(now);
    }
    return std::nullopt;
}

void Tray::load(const Moment& now) {
    if (!open_) {
        return;
    }
    open_ = false;
    if (loaded_) {
        settle(now);
    }
}

int Tray::takeMediaEvent() {
    const int event = mediaEvent_;
    mediaEvent_ = 0;
    return event;
}

} // namespace emulator
