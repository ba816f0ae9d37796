// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>
#include <cstdint>
#include <sys/resource.h>

namespace disctool {

// Makes every write of this process beyond a file size fail with EFBIG for
// the life of the object: the way a simulated disc fails at a given sector
// while libburn really writes. SIGXFSZ is ignored meanwhile, so the failure
// reaches libburn as an error rather than ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::int64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previousLimit_{};
    struct sigaction previousAction_ {};
};

} // namespace disctool
