// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <set>
#include <string>

namespace disctool {

// The threads libburn starts for one job (a write, an erase, a format).
// libburn reports such a job idle before its worker has returned, and on
// some failures half a second before, while the worker still uses the job's
// options, the drive and the library's message queue: freeing any of them
// then (the next job, letting go of the drive, ending the library) crashes
// the worker. A job is over only once the threads that came with it are gone.
class JobThreads {
public:
    // Notes the threads that exist before the job starts.
    JobThreads();

    // Waits until every thread that began after construction has ended, for
    // at most `most`; false if some still run.
    bool awaitEnd(std::chrono::milliseconds most) const;

private:
    static std::set<std::string> current();

    std::set<std::string> before_;
};

} // namespace disctool
