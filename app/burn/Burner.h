#pragma once

#include <QString>

namespace emberlin {

// A burner as the listing names it: its title and its trimmed device id.
struct Burner {
    QString title;
    QString device;
    bool operator==(const Burner&) const = default;
};

} // namespace emberlin
