// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatedDrive.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <unistd.h>
#include <utility>

namespace disctool {

namespace {

constexpr std::int64_t sectorBytes = 2048;

std::int64_t wholeSectors(std::int64_t bytes) {
    return (bytes + sectorBytes - 1) / sectorBytes * sectorBytes;
}

} // namespace

SimulatedDrive::SimulatedDrive(SimulatedDriveConfig config, std::unique_ptr<Drive> backing)
    : config_(std::move(config))
    , backing_(std::move(backing)) {}

GrabResult SimulatedDrive::grab() {
    if (config_.busy) {
        return {GrabStatus::Busy, "the simulated drive is busy"};
    }
    GrabResult result = backing_->grab();
    arrival_ = Clock::now() + config_.insertAfter;
    return result;
}

SimulatedDisc* SimulatedDrive::currentDisc() {
    if (lost_ || discIndex_ >= config_.discs.size() || Clock::now() < arrival_) {
        return nullptr;
    }
    return &config_.discs[discIndex_];
}

Medium SimulatedDrive::medium(const WriteIntent& /*intent*/) {
    Medium medium;
    const SimulatedDisc* disc = currentDisc();
    if (disc == nullptr) {
        medium.status = DiscStatus::Empty;
        return medium;
    }
    const SimulatedMediumTraits& traits = traitsOf(disc->kind);
    medium.status = disc->state;
    medium.kind = traits.kind;
    medium.profileName = std::string(traits.profileName);
    medium.holdsData = disc->state != DiscStatus::Blank;
    medium.capacityBytes = disc->capacity;
    medium.multiSession = true;
    medium.canSimulate = traits.canSimulate;
    medium.freeBytes = disc->state == DiscStatus::Full ? 0 : disc->capacity - disc->used;
    return medium;
}

void SimulatedDrive::reassess() {
    // Discs arrive by the clock; there is nothing to look at.
}

bool SimulatedDrive::present() {
    return !lost_;
}

GrabResult SimulatedDrive::ejectDisc() {
    if (discIndex_ < config_.discs.size()) {
        ++discIndex_;
    }
    arrival_ = Clock::now() + config_.insertAfter;
    return {GrabStatus::Grabbed, {}};
}

GrabResult SimulatedDrive::openTray() {
    // Simulated discs arrive by the clock, tray or not.
    return {GrabStatus::Grabbed, {}};
}

Reload SimulatedDrive::reloadMedium() {
    return backing_->reloadMedium();
}

bool SimulatedDrive::startFormat() {
    // None of the simulated media needs formatting, which fails like an erase.
    lastJob_ = Job::Erase;
    eraseFailure_ = "The simulated disc cannot be formatted";
    return false;
}

bool SimulatedDrive::startErase(bool /*fast*/) {
    job_ = lastJob_ = Job::Erase;
    eraseStart_ = Clock::now();
    return true;
}

bool SimulatedDrive::startWrite(const WriteJob& job) {
    const SimulatedDisc* disc = currentDisc();
    write_ = job;
    write_.startByte = disc != nullptr && disc->state == DiscStatus::Appendable ? disc->used : 0;
    // Both failures stop the real write at their sector, whenever the flow
    // happens to look.
    if (const std::optional<std::int64_t> stopSector = stopSectorOfWrite()) {
        sizeLimit_.emplace(write_.startByte + *stopSector * sectorBytes);
    }
    job_ = lastJob_ = Job::Write;
    // Whether the disc stays appendable is part of the simulation: a file
    // cannot hold sessions.
    WriteJob backingJob = write_;
    backingJob.leaveAppendable = false;
    if (!backing_->startWrite(backingJob)) {
        sizeLimit_.reset();
        job_ = Job::None;
        return false;
    }
    return true;
}

std::optional<std::int64_t> SimulatedDrive::stopSectorOfWrite() const {
    if (config_.lostAtSector && config_.failAtSector) {
        return std::min(*config_.lostAtSector, *config_.failAtSector);
    }
    return config_.lostAtSector ? config_.lostAtSector : config_.failAtSector;
}

Activity SimulatedDrive::eraseActivity() {
    const auto elapsed = Clock::now() - eraseStart_;
    if (elapsed < config_.eraseTime) {
        Activity activity;
        activity.kind = ActivityKind::Erasing;
        activity.percent = 100.0 * std::chrono::duration<double>(elapsed).count() /
                           std::chrono::duration<double>(config_.eraseTime).count();
        return activity;
    }
    job_ = Job::None;
    if (SimulatedDisc* disc = currentDisc()) {
        disc->state = DiscStatus::Blank;
        disc->used = 0;
    }
    // The old sessions are gone; keep the backing file in step.
    eraseFailure_.clear();
    if (::truncate(config_.backingPath.c_str(), 0) != 0 && errno != ENOENT) {
        eraseFailure_ = "Cannot erase " + config_.backingPath + ": " + std::strerror(errno);
    }
    return {};
}

Activity SimulatedDrive::writeActivity() {
    const Activity activity = backing_->activity();
    if (activity.kind != ActivityKind::Idle) {
        return activity;
    }
    job_ = Job::None;
    sizeLimit_.reset();
    const bool lostFirst = config_.lostAtSector && (!config_.failAtSector ||
                                                    *config_.lostAtSector <= *config_.failAtSector);
    if (lostFirst && !backing_->lastJobSucceeded()) {
        lost_ = true;
    }
    if (!lost_ && !write_.simulate && backing_->lastJobSucceeded()) {
        if (SimulatedDisc* disc = currentDisc()) {
            disc->used = write_.startByte + wholeSectors(write_.imageBytes);
            disc->state = write_.leaveAppendable ? DiscStatus::Appendable : DiscStatus::Full;
        }
    }
    return activity;
}

Activity SimulatedDrive::activity() {
    switch (job_) {
    case Job::Erase:
        return eraseActivity();
    case Job::Write:
        return writeActivity();
    case Job::None:
        break;
    }
    return {};
}

void SimulatedDrive::cancel() {
    if (job_ == Job::Write) {
        backing_->cancel();
    }
}

bool SimulatedDrive::lastJobSucceeded() {
    if (lastJob_ == Job::Erase) {
        return eraseFailure_.empty();
    }
    return !lost_ && backing_->lastJobSucceeded();
}

bool SimulatedDrive::commit() {
    return backing_->commit();
}

int SimulatedDrive::writeSpeed() {
    return backing_->writeSpeed();
}

std::int64_t SimulatedDrive::trackStartByte() {
    return backing_->trackStartByte();
}

void SimulatedDrive::throttleRead(std::size_t bytes) {
    // A disc reads no faster than it was written.
    if (write_.kilobytesPerSecond <= 0) {
        return;
    }
    const auto now = Clock::now();
    if (nextReadAllowed_ < now) {
        nextReadAllowed_ = now;
    }
    nextReadAllowed_ += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
        static_cast<double>(bytes) / (1000.0 * write_.kilobytesPerSecond)));
    std::this_thread::sleep_until(nextReadAllowed_);
}

bool SimulatedDrive::read(std::int64_t byteAddress, std::span<char> buffer) {
    throttleRead(buffer.size());
    if (!backing_->read(byteAddress, buffer)) {
        return false;
    }
    if (config_.badSector) {
        const std::int64_t bad = trackStartByte() + *config_.badSector * sectorBytes;
        const auto end = byteAddress + static_cast<std::int64_t>(buffer.size());
        if (bad >= byteAddress && bad < end) {
            buffer[static_cast<std::size_t>(bad - byteAddress)] ^= 0x5a;
        }
    }
    return true;
}

std::string SimulatedDrive::failureReason() {
    if (lost_) {
        return "The simulated drive disappeared";
    }
    if (lastJob_ == Job::Erase && !eraseFailure_.empty()) {
        return eraseFailure_;
    }
    return backing_->failureReason();
}

void SimulatedDrive::release(bool eject) {
    backing_->release(eject);
}

} // namespace disctool
