// SPDX-License-Identifier: GPL-3.0-or-later
// How long an emulated drive takes for its own work, as a table of medium,
// speed and job against the seconds a drive of that kind takes.
#include "RateModel.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using emulator::DriveJob;

struct JobCase {
    std::string medium;
    double multiple; // the drive's rate; 0: none
    DriveJob job;
    int closedSessions;
    double seconds;
};

TEST(RateModel, EachJobTakesWhatADriveOfThatKindTakes) {
    const std::vector<JobCase> cases = {
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
        {"cd-r", 8, DriveJob::CloseTrack, 0, 0},
    };
    for (const JobCase& c : cases) {
        emulator::Disc disc;
        disc.medium = *emulator::mediumWithId(c.medium);
        disc.capacity = disc.traits().capacity;
        disc.closedSessions = c.closedSessions;
        const std::optional<emulator::Rate> rate =
            c.multiple > 0 ? std::optional(emulator::Rate{c.multiple, 0}) : std::nullopt;
        const emulator::RateModel model(rate, rate);
        const std::chrono::duration<double> taken =
            model.jobTime(disc, c.job, c.job == DriveJob::CertifyingFormat ? disc.capacity : 0);
        // Drives offer whole kB/s: 4x of a CD is 706, not 705.6.
        EXPECT_NEAR(taken.count(), c.seconds, 0.01 + c.seconds / 1000)
            << c.medium << " " << int(c.job);
    }
}

TEST(RateModel, TheBufferLetsWritesRunAheadByItsTimeToDrain) {
    // 2 MiB at a CD's 4x and 4 MiB at a BD's 4x, both at constant linear velocity.
    const std::vector<std::pair<std::string, double>> cases = {{"cd-r", 3.413}, {"bd-r", 0.233}};
    for (const auto& [medium, seconds] : cases) {
        emulator::Disc disc;
        disc.medium = *emulator::mediumWithId(medium);
        disc.capacity = disc.traits().capacity;
        const emulator::RateModel model(emulator::Rate{4, 0}, std::nullopt);
        EXPECT_NEAR(std::chrono::duration<double>(model.bufferTime(disc)).count(), seconds, 0.01)
            << medium;
    }
}

} // namespace
