// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "disctool/LibburnHandles.h"
#include "disctool/Sha256.h"
#include "disctool/image/ImageStream.h"

#include <cstdint>
#include <memory>

namespace disctool {

// A libburn data source that reads the image in large blocks and hands
// libburn its sectors from memory. libburn asks for one 2048-byte sector per
// call; its own descriptor source turns each into a read(2), which costs
// more than the writing itself on a fast target.
//
// Every byte handed to libburn also goes into `digest`, as it is read.
// Null when the source cannot be made.
libburn::Source makeImageSource(std::shared_ptr<ImageStream> image, std::int64_t size,
                                std::shared_ptr<Sha256> digest);

} // namespace disctool
