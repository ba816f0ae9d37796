// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileSizeLimit.h"

namespace disctool {

FileSizeLimit::FileSizeLimit(std::int64_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &previousAction_);
    ::getrlimit(RLIMIT_FSIZE, &previousLimit_);
    rlimit limit = previousLimit_;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previousLimit_);
    ::sigaction(SIGXFSZ, &previousAction_, nullptr);
}

} // namespace disctool
