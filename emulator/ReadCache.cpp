// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/ReadCache.h"

#include <algorithm>

namespace emulator {

void ReadCache::remember(std::int64_t lba, std::span<const std::uint8_t> data) {
    for (std::size_t at = 0; capacity_ > 0 && at + sectorBytes <= data.size(); at += sectorBytes) {
        const std::int64_t sector = lba + static_cast<std::int64_t>(at) / sectorBytes;
        if (const auto held = where_.find(sector); held != where_.end()) {
            sectors_.erase(held->second);
        }
        const auto bytes = data.subspan(at, sectorBytes);
        sectors_.emplace_front(sector, Bytes(bytes.begin(), bytes.end()));
        where_[sector] = sectors_.begin();
        if (sectors_.size() > capacity_) {
            where_.erase(sectors_.back().first);
            sectors_.pop_back();
        }
    }
}

bool ReadCache::recall(std::int64_t lba, std::span<std::uint8_t> sector) const {
    const auto held = where_.find(lba);
    if (held == where_.end()) {
        return false;
    }
    std::copy(held->second->second.begin(), held->second->second.end(), sector.begin());
    return true;
}

void ReadCache::forget() {
    sectors_.clear();
    where_.clear();
}

} // namespace emulator
