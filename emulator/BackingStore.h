// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/OwnFile.h"

#include <cstdint>
#include <span>
#include <string>

namespace emulator {

// The bytes of one disc in a sparse file: sector N at byte N * 2048. Never
// written sectors read as zeros and take no room. The file stays open for the
// life of the store, since closing any descriptor of a file would drop the
// locks a host took on it; it is one of this user's own (OwnFile).
class BackingStore {
public:
    explicit BackingStore(std::string path);
    BackingStore(const BackingStore&) = delete;
    BackingStore& operator=(const BackingStore&) = delete;

    bool read(std::int64_t lba, std::span<std::uint8_t> data);
    bool write(std::int64_t lba, std::span<const std::uint8_t> data);
    // Forgets every byte, as blanking or a full format does.
    bool erase();
    // How long the file is, as the state file remembers it; -1 if unknown.
    std::int64_t bytes();

private:
    bool open();

    std::string path_;
    OwnFile file_;
};

} // namespace emulator
