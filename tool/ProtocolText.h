#pragma once

#include "protocol/ToolProtocol.h"

#include <QLatin1StringView>
#include <string_view>

namespace emberlin {

// A text of the tool's protocol as Qt reads it (the protocol is plain ASCII).
constexpr QLatin1StringView qtText(std::string_view text) {
    return QLatin1StringView(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace emberlin
