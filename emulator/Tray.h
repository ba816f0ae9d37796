// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Sense.h"
#include "emulator/Trigger.h"

#include <cstddef>
#include <optional>

namespace emulator {

// The tray and which disc it holds. Discs come one after another, as a user
// would bring them: a disc is put into an open tray and the tray pushed home
// when `insertAfter` fires, counted from the moment the tray opened; the
// first disc is in the drive from the start when `insertAfter` is no delay.
// An ejected disc lies on the open tray until the user takes it away, which
// takes a moment after `insertAfter` fired: the host may load it again before
// (an eject and a load to make the drive read the disc anew). A disc that
// was just loaded may at first read as absent, then as becoming ready, and is
// announced once by a unit attention.
class Tray {
public:
    struct Settling {
        std::optional<Trigger> noMediumFor;
        std::optional<Trigger> unready;
    };

    Tray(std::size_t discCount, Trigger insertAfter, Settling settling, const Moment& now);

    // Lets a disc arrive when its time has come.
    void update(const Moment& now);
    // The disc in the drive, not one lying on the open tray.
    std::optional<std::size_t> loaded() const { return open_ ? std::nullopt : disc_; }
    bool open() const { return open_; }
    // Why a command that needs the disc cannot have it yet, if it cannot.
    std::optional<Sense> readiness(const Moment& now, bool reportChange);
    bool settled(const Moment& now) const;

    // START STOP UNIT with LoEj: out (Start=0) or in (Start=1).
    std::optional<Sense> eject(const Moment& now);
    void load(const Moment& now);
    void prevent(bool prevented) { prevented_ = prevented; }
    bool prevented() const { return prevented_; }
    // GET EVENT STATUS NOTIFICATION, media class: 0 nothing new, 2 new
    // media, 3 media removal (MMC-5 Table 147).
    int takeMediaEvent();

private:
    void settle(const Moment& now);
    void pushHome(const Moment& now);

    std::size_t discCount_;
    std::size_t next_ = 0;
    std::optional<std::size_t> disc_; // in the drive or on the open tray
    bool open_ = false;
    bool prevented_ = false;
    bool changed_ = false;
    int mediaEvent_ = 0;
    Trigger arrival_;
    bool arrivalArmed_ = false; // the tray has opened for the next disc
    Moment openedAt_;
    Settling settling_;
};

} // namespace emulator
