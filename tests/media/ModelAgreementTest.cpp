// SPDX-License-Identifier: GPL-3.0-or-later
// The estimate predicts a drive and the emulated drive stands in for one:
// each keeps its own model of time, but both read one table of media facts,
// so on every medium of that table they must agree.
#include "emulator/RateModel.h"
#include "estimate/BurnJob.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

using estimate::Phase;

double secondsOf(emulator::Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// The drive's part of a phase in the estimate: without the host's waits.
double estimatedSeconds(const estimate::BurnJob& job, Phase phase) {
    return estimate::phaseSecondsFrom(job, phase, 0) - estimate::phaseSecondsFrom(job, phase, 1);
}

// Written or read (`timeOf`) as a host sends it, a mebibyte at a time.
double emulatedSweep(const emulator::RateModel& drive, const emulator::Disc& disc,
                     std::int64_t sectors, decltype(&emulator::RateModel::writeTime) timeOf) {
    constexpr std::int64_t chunk = 512;
    emulator::Clock::duration total{};
    for (std::int64_t lba = 0; lba < sectors; lba += chunk) {
        total += (drive.*timeOf)(disc, lba, std::min(chunk, sectors - lba));
    }
    return secondsOf(total);
}

TEST(ModelAgreement, EstimateAndEmulatedDriveAgreeOnEveryMediumWithinTwoPerCent) {
    for (const media::MediumFacts& facts : media::allMedia()) {
        for (const double multiple : {1.0, facts.maxWriteSpeed}) {
            const emulator::Rate rate{multiple, 0};
            const emulator::RateModel drive(rate, rate);
            emulator::Disc disc;
            disc.medium = facts.medium;
            disc.capacity = facts.capacity;
            // Three quarters of the disc: past the constant linear velocity
            // of fast speeds, and into the second layer of dual-layer discs.
            const std::int64_t imageSectors = facts.capacity * 3 / 4;

            // The job as the tool's fact lines describe it.
            estimate::BurnJob job = estimate::jobOn(facts);
            job.capacityBytes = facts.capacity * media::sectorBytes;
            job.imageBytes = imageSectors * media::sectorBytes;
            job.writeMultiple = estimate::multipleOfKilobytesPerSecond(
                facts.family, drive.currentWriteSpeed(facts));
            job.readMultiple =
                estimate::multipleOfKilobytesPerSecond(facts.family, drive.readSpeed(facts));
            job.verify = true;

            struct Compared {
                std::string what;
                double emulated;
                double estimated;
            };
            std::vector<Compared> compared;
            if (facts.erasable || facts.formattable) {
                job.erase =
                    facts.erasable ? estimate::EraseKind::Fast : estimate::EraseKind::Format;
                compared.push_back({"quick erase",
                                    secondsOf(drive.jobTime(
                                        disc, facts.erasable ? emulator::DriveJob::FastBlank
                                                             : emulator::DriveJob::QuickFormat)),
                                    estimatedSeconds(job, Phase::Erase)});
            }
            if (facts.erasable) {
                job.erase = estimate::EraseKind::Full;
                compared.push_back({"full erase",
                                    secondsOf(drive.jobTime(disc, emulator::DriveJob::FullBlank)),
                                    estimatedSeconds(job, Phase::Erase)});
            }
            compared.push_back(
                {"write", emulatedSweep(drive, disc, imageSectors, &emulator::RateModel::writeTime),
                 estimatedSeconds(job, Phase::Write)});
            compared.push_back(
                {"verify", emulatedSweep(drive, disc, imageSectors, &emulator::RateModel::readTime),
                 estimatedSeconds(job, Phase::Verify)});
            if (job.closingSectors > 0) {
                disc.recordWrite(imageSectors);
                disc.closeSession(true);
                compared.push_back(
                    {"closing", secondsOf(drive.jobTime(disc, emulator::DriveJob::CloseSession)),
                     estimatedSeconds(job, Phase::Close)});
            }
            for (const Compared& c : compared) {
                EXPECT_GT(c.estimated, 0) << facts.id << " " << c.what;
                EXPECT_NEAR(c.emulated / c.estimated, 1.0, 0.02)
                    << facts.id << " at " << multiple << "x, " << c.what << ": emulated "
                    << c.emulated << " s, estimated " << c.estimated << " s";
            }
        }
    }
}

} // namespace
