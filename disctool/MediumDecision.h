// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Drive.h"
#include "ProgressReporter.h"

#include <cstdint>
#include <string>

namespace disctool {

enum class MediumDecision {
    Wait,         // no disc, or the drive is still looking at it
    Erase,        // rewritable, holding data, and erasing was asked for
    Write,        // writable as it is
    NotEraseable, // erasing was asked for, but the disc holds data and is not rewritable
    NotWritable,  // holds data, cannot take more, and erasing was not asked for
    NoSpace,      // writable, but smaller than the image
};

// What to do with the disc in the drive. "Erase if possible": a blank disc is
// never erased.
MediumDecision decideMedium(const Medium& medium, bool eraseRequested, std::int64_t imageBytes);

// Why a target that cannot be swapped for another (a file) cannot take the image.
std::string refusalReason(MediumProblem problem, const Medium& medium, std::int64_t imageBytes);

} // namespace disctool
