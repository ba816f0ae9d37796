// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Tray.h"

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

namespace {

// The commands a host sends between opening the tray and the user taking the
// disc off it: twice what libburn sends between an eject and the load that
// follows it at once (11), and what a host waiting for a disc sends in about
// a second.
constexpr std::uint64_t handlingPolls = 24;

} // namespace

void Tray::update(const Moment& now) {
    if (!arrivalArmed_ || !arrival_.fired(now) ||
        (open_ && disc_ && now.polls - openedAt_.polls < handlingPolls)) {
        return;
    }
    // The user takes the disc off the open tray, puts the next one in and
    // pushes the tray home (or opens and shuts it again if the host had
    // shut it empty); after the last disc the drive stays empty.
    arrivalArmed_ = false;
    disc_.reset();
    if (next_ >= discCount_) {
        return;
    }
    disc_ = next_++;
    mediaEvent_ = 2;
    pushHome(now);
}

void Tray::pushHome(const Moment& now) {
    open_ = false;
    changed_ = true;
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
    if (!loaded()) {
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
    if (!open_) {
        open_ = true;
        openedAt_ = now;
        mediaEvent_ = disc_ ? 3 : mediaEvent_;
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
    if (!disc_) {
        open_ = false;
        return;
    }
    // The disc still on the tray goes back in, before the user took it.
    arrivalArmed_ = false;
    mediaEvent_ = 2;
    pushHome(now);
}

int Tray::takeMediaEvent() {
    const int event = mediaEvent_;
    mediaEvent_ = 0;
    return event;
}

} // namespace emulator
