// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/HeldData.h"

#include <cstdio>

namespace disctool {

namespace {

// Decimal megabytes, as disc labels count them: a tenth where the figure is small.
std::string megabytes(std::int64_t bytes) {
    const double value = static_cast<double>(bytes) / 1e6;
    char text[32];
    std::snprintf(text, sizeof text, value < 10 ? "%.1f MB" : "%.0f MB", value);
    return text;
}

} // namespace

std::string describeHeldData(const Medium& medium) {
    if (medium.content.holdsData()) {
        return medium.content.describe();
    }
    if (medium.sessions <= 0) {
        return "data the drive does not describe";
    }
    const bool one = medium.sessions == 1;
    std::string words = std::to_string(medium.sessions) + (one ? " session (" : " sessions (") +
                        megabytes(medium.sessionBytes) + ")";
    if (medium.lastSession.verdict == DiscContent::Verdict::Data &&
        !medium.lastSession.type.empty()) {
        words += (one ? ", " : ", the last ") + medium.lastSession.describe();
    }
    return words;
}

} // namespace disctool
