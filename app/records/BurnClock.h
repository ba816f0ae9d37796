#pragma once

#include <QDateTime>
#include <chrono>
#include <functional>

namespace emberlin {

// The time of day, for the receipt's times; tests set it.
using BurnClock = std::function<QDateTime()>;

// A clock that only runs forward, for the time left: setting the computer's
// clock to another time of day must not move it. Tests step it.
using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

} // namespace emberlin
