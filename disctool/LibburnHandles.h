// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <libburn/libburn.h>
#include <memory>

namespace disctool {

// Owning handles for libburn's objects, each freed by libburn's own call.
namespace libburn {

template <typename T, auto Free> struct Deleter {
    void operator()(T* object) const { Free(object); }
};

using Disc = std::unique_ptr<burn::burn_disc, Deleter<burn::burn_disc, burn::burn_disc_free>>;
using Session =
    std::unique_ptr<burn::burn_session, Deleter<burn::burn_session, burn::burn_session_free>>;
using Track = std::unique_ptr<burn::burn_track, Deleter<burn::burn_track, burn::burn_track_free>>;
using Source =
    std::unique_ptr<burn::burn_source, Deleter<burn::burn_source, burn::burn_source_free>>;
using WriteOptions = std::unique_ptr<burn::burn_write_opts,
                                     Deleter<burn::burn_write_opts, burn::burn_write_opts_free>>;

struct MultiCapsFree {
    void operator()(burn::burn_multi_caps* caps) const { burn::burn_disc_free_multi_caps(&caps); }
};
using MultiCaps = std::unique_ptr<burn::burn_multi_caps, MultiCapsFree>;

} // namespace libburn

} // namespace disctool
