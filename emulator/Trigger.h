// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace emulator {

using Clock = std::chrono::steady_clock;

// Where the drive is in time: the clock, and how many commands the host has
// sent it.
struct Moment {
    Clock::time_point time;
    std::uint64_t polls = 0;
};

// When something happens: after a time, after a number of the host's
// commands, or once a file exists. Commands and files let a test decide the
// moment itself instead of racing the clock.
class Trigger {
public:
    static Trigger never() { return Trigger(Kind::Never); }
    static Trigger after(Clock::duration delay);
    static Trigger afterPolls(std::uint64_t polls);
    static Trigger onceExists(std::string file);

    // Starts counting from this moment.
    void arm(const Moment& now);
    bool fired(const Moment& now) const;
    // How far it has come, 0 to 1; 0 while it cannot tell (a file).
    double fraction(const Moment& now) const;
    // Whether it counts polls, which a command that blocks the drive never sees.
    bool countsPolls() const { return kind_ == Kind::Polls; }

private:
    enum class Kind { Never, Delay, Polls, File };
    explicit Trigger(Kind kind)
        : kind_(kind) {}

    Kind kind_;
    Clock::duration delay_{};
    std::uint64_t polls_ = 0;
    std::string file_;
    Moment start_;
};

} // namespace emulator
