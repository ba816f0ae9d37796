// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediumFacts.h"

// The media an emulated drive can hold are those of the project's table.
namespace emulator {

using media::factsOf;
using media::Family;
using media::Medium;
using media::MediumFacts;
using media::mediumWithId;

} // namespace emulator
