// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/Opcode.h"

#include <array>

namespace emulator {

std::optional<std::string_view> opcodeName(std::uint8_t opcode) {
    switch (static_cast<Opcode>(opcode)) {
#define EMULATOR_OPCODE_NAME(name, code)                                                           \
    case Opcode::name:                                                                             \
        return #name;
        EMULATOR_OPCODES(EMULATOR_OPCODE_NAME)
#undef EMULATOR_OPCODE_NAME
    }
    return std::nullopt;
}

std::optional<std::size_t> commandLength(std::uint8_t opcode) {
    // Groups 0 to 7: 6 bytes, 10, 10, reserved, 16, 12, vendor, vendor.
    constexpr std::array<std::size_t, 8> lengths{6, 10, 10, 0, 16, 12, 0, 0};
    const std::size_t length = lengths[opcode >> 5];
    return length == 0 ? std::nullopt : std::optional(length);
}

} // namespace emulator
