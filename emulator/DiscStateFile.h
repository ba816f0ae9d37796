// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Disc.h"

#include <optional>
#include <string>
#include <vector>

namespace emulator {

// What a drive did to its discs, kept beside their bytes so that the next run
// finds each disc as this one left it. A disc is remembered together with the
// description it was made from: a changed device id makes a new disc.
struct RememberedDisc {
    std::string origin;
    Disc disc;
};

class DiscStateFile {
public:
    explicit DiscStateFile(std::string path);

    std::vector<std::optional<RememberedDisc>> load() const;
    bool save(const std::vector<std::optional<RememberedDisc>>& discs) const;

private:
    std::string path_;
};

} // namespace emulator
