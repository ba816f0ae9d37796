#pragma once

#include <QDateTime>
#include <functional>

namespace emberlin {

// The time of day, for the time left and the receipt's times; tests set it.
using BurnClock = std::function<QDateTime()>;

} // namespace emberlin
