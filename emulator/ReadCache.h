// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulator/Bytes.h"

#include <cstdint>
#include <list>
#include <span>
#include <unordered_map>

namespace emulator {

// The sectors a drive wrote last, kept in its buffer: a read of one of them
// is answered from there, with what the host sent, without looking at the
// disc. Holds at most `capacity` sectors and forgets the oldest first; a new
// disc, or the same one loaded again, starts with none.
class ReadCache {
public:
    explicit ReadCache(std::size_t capacity)
        : capacity_(capacity) {}

    // `data` holds whole sectors from `lba` on.
    void remember(std::int64_t lba, std::span<const std::uint8_t> data);
    // Copies sector `lba` into `sector` when it is held.
    bool recall(std::int64_t lba, std::span<std::uint8_t> sector) const;
    void forget();

private:
    using Entry = std::pair<std::int64_t, Bytes>;

    std::size_t capacity_;
    std::list<Entry> sectors_; // newest first
    std::unordered_map<std::int64_t, std::list<Entry>::iterator> where_;
};

} // namespace emulator
