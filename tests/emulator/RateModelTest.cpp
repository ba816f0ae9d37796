// SPDX-License-Identifier: GPL-3.0-or-later
// How long an emulated drive takes for its own work, as a table of medium,
// speed and job against the seconds a drive of that kind takes.
#include "emulator/RateModel.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using emulator::DriveJob;

TEST(RateModel, EachJobTakesWhatADriveOfThatKindTakes) {
    // Medium, the drive's rate (0: none), job (none: draining the write
    // buffer), sessions closed, seconds.
    const std::vector<std::tuple<std::string, double, std::optional<DriveJob>, int, double>> cases =
        {
            // An 80-minute CD-RW blanked fully at 4x: all of its 359849 sectors at 300 a second.
            {"cd-rw", 4, DriveJob::FullBlank, 0, 1199.497},
            // A minimal blank goes over a lead-in and a lead-out: 11250 sectors.
            {"cd-rw", 4, DriveJob::FastBlank, 0, 37.5},
            // Closing the first session: lead-out, the next lead-in and pregap (11400
            // sectors); later sessions have a shorter lead-out (6900).
            {"cd-r", 8, DriveJob::CloseSession, 1, 19.0},
            {"cd-r", 8, DriveJob::CloseSession, 2, 11.5},
            // A DVD-R's first border: 32 MiB at 4x (5.54 MB/s).
            {"dvd-r", 4, DriveJob::CloseSession, 1, 6.057},
            // At 8x a DVD+RW spins at constant angular velocity: its inside, where a
            // quick format works, goes no faster than 6x.
            {"dvd+rw", 8, DriveJob::QuickFormat, 0, 4.038},
            // A BD-RE certified at 2x: 25 GB written and read again.
            {"bd-re", 2, DriveJob::CertifyingFormat, 0, 5566.731},
            {"bd-r", 4, DriveJob::CloseSession, 1, 0.933},
            {"cd-rw", 0, DriveJob::FullBlank, 0, 0},
            // The buffer: 2 MiB at a CD's 4x, 4 MiB at a BD's 4x.
            {"cd-r", 4, std::nullopt, 0, 3.413},
            {"bd-r", 4, std::nullopt, 0, 0.233},
        };
    for (const auto& [medium, multiple, job, sessions, seconds] : cases) {
        emulator::Disc disc;
        disc.medium = *emulator::mediumWithId(medium);
        disc.capacity = disc.traits().capacity;
        disc.closedSessions = sessions;
        const std::optional<emulator::Rate> rate =
            multiple > 0 ? std::optional(emulator::Rate{multiple, 0}) : std::nullopt;
        const emulator::RateModel model(rate, rate);
        const std::chrono::duration<double> taken =
            !job ? model.bufferTime(disc)
                 : model.jobTime(disc, *job, job == DriveJob::CertifyingFormat ? disc.capacity : 0);
        // Drives offer whole kB/s: 4x of a CD is 706, not 705.6.
        EXPECT_NEAR(taken.count(), seconds, 0.01 + seconds / 1000) << medium;
    }
}

} // namespace
