// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/OpticalDrive.h"

#include "disctool/MediumProbe.h"
#include "disctool/OutsideText.h"
#include "media/MediumFacts.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <utility>

using namespace burn;

namespace disctool {

namespace {

using media::sectorBytes;

// Messages that mean another program holds the drive.
constexpr int cannotOpenBusyDevice = 0x00020001;
constexpr int alreadyInUse = 0x00020003;
// A command the drive answered with an error, however harmless libburn thinks it.
constexpr int scsiErrorCondition = 0x0002010f;

std::string canonical(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

// What the drive reports it has put on the disc: what libburn sent it, less
// what the drive's buffer still holds as it last told libburn. libburn's
// sector count runs ahead by that buffer, which on a CD at a low speed is most
// of a write.
std::int64_t writtenByDrive(const burn_progress& progress) {
    const std::int64_t counted = static_cast<std::int64_t>(progress.sector) * sectorBytes;
    const std::int64_t sent = progress.buffered_bytes > 0
                                  ? std::min<std::int64_t>(counted, progress.buffered_bytes)
                                  : counted;
    const std::int64_t held = progress.buffer_capacity > progress.buffer_available
                                  ? progress.buffer_capacity - progress.buffer_available
                                  : 0;
    return std::clamp<std::int64_t>(sent - held, 0,
                                    static_cast<std::int64_t>(progress.sectors) * sectorBytes);
}

double percentOf(const burn_progress& progress) {
    if (progress.sectors <= 0) {
        return -1.0;
    }
    return 100.0 * static_cast<double>(progress.sector) / static_cast<double>(progress.sectors);
}

} // namespace

OpticalDrive::OpticalDrive(LibburnSession& session, std::string device, DeviceAccess access)
    : session_(session)
    , device_(std::move(device))
    , access_(std::move(access)) {}

OpticalDrive::~OpticalDrive() {
    grabber_.wait();
    releaseDrive(false);
}

void OpticalDrive::startGrab() {
    session_.forgetMessages();
    grabber_.start([this] { return grab(true); });
}

std::optional<GrabResult> OpticalDrive::grabbed() {
    return grabber_.result();
}

bool OpticalDrive::grabbing() {
    return grabber_.running();
}

GrabResult OpticalDrive::grab(bool load) {
    const DeviceAccess::Result verdict = access_.check(device_);
    switch (verdict.verdict) {
    case DeviceAccess::Verdict::Missing:
        return {GrabStatus::Missing, verdict.detail};
    case DeviceAccess::Verdict::NoPermission:
        return {GrabStatus::Failed, verdict.detail};
    case DeviceAccess::Verdict::Busy:
        return {GrabStatus::Busy, verdict.detail};
    case DeviceAccess::Verdict::Ready:
        break;
    }
    devicePath_ = canonical(device_);
    std::string address = devicePath_;
    if (std::array<char, BURN_DRIVE_ADR_LEN> converted{};
        burn_drive_convert_fs_adr(devicePath_.data(), converted.data()) == 1) {
        address = converted.data();
    }
    const int grabbed = burn_drive_scan_and_grab(&info_, address.data(), load ? 1 : 0);
    if (grabbed == 1) {
        drive_ = info_[0].drive;
        return {GrabStatus::Grabbed, {}};
    }
    if (info_ != nullptr) {
        burn_drive_info_free(info_);
        info_ = nullptr;
    }
    for (const LibburnMessage& message : session_.messages()) {
        if (message.code == cannotOpenBusyDevice || message.code == alreadyInUse) {
            return {GrabStatus::Busy, message.text};
        }
    }
    if (grabbed == 0) {
        return {GrabStatus::Missing, device_ + " is not a CD/DVD/BD drive"};
    }
    const std::string reason = session_.explanation();
    return {GrabStatus::Failed,
            reason.empty() ? "Cannot open the drive" + outside::quoted(" " + device_) : reason};
}

Medium OpticalDrive::medium(const WriteIntent& intent) {
    if (drive_ == nullptr) {
        return {};
    }
    return probeMedium(drive_, intent);
}

void OpticalDrive::reassess() {
    if (drive_ != nullptr) {
        burn_drive_re_assess(drive_, 0);
    }
}

bool OpticalDrive::present() {
    struct stat status {};
    return devicePath_.empty() || ::stat(devicePath_.c_str(), &status) == 0;
}

GrabResult OpticalDrive::ejectDisc() {
    // libburn ejects only when it lets go of a drive; take it back at once,
    // without closing the tray on the user.
    releaseDrive(true);
    session_.forgetMessages();
    return grab(false);
}

GrabResult OpticalDrive::openTray() {
    return ejectDisc();
}

Reload OpticalDrive::reloadMedium() {
    // Only a disc loaded anew is surely read from the disc: a drive that
    // cannot close its tray is only let go of and taken again.
    const bool load = drive_ != nullptr && trayClosesByItself(drive_);
    releaseDrive(load);
    session_.forgetMessages();
    const GrabResult grabbed = grab(load);
    if (grabbed.status != GrabStatus::Grabbed) {
        ownFailure_ = grabbed.reason;
        return Reload::Failed;
    }
    return load ? Reload::Reloaded : Reload::RegrabbedOnly;
}

bool OpticalDrive::beginJob() {
    freeJob();
    session_.forgetMessages();
    ownFailure_.clear();
    if (drive_ == nullptr) {
        ownFailure_ = "The drive" + outside::quoted(" " + device_) + " is not held";
        return false;
    }
    return true;
}

bool OpticalDrive::startErase(bool fast) {
    if (!beginJob()) {
        return false;
    }
    jobThreads_.emplace();
    burn_disc_erase(drive_, fast ? 1 : 0);
    return true;
}

bool OpticalDrive::startFormat() {
    if (!beginJob()) {
        return false;
    }
    // The drive's default size, with its default spare areas, and without a
    // certification that would take hours.
    constexpr int defaultSize = 3 << 1;
    constexpr int noCertification = 1 << 6;
    jobThreads_.emplace();
    burn_disc_format(drive_, 0, defaultSize | noCertification);
    return true;
}

bool OpticalDrive::fail(std::string reason) {
    const std::string libburnReason = session_.explanation();
    ownFailure_ = libburnReason.empty() ? std::move(reason) : reason + ": " + libburnReason;
    freeJob();
    return false;
}

bool OpticalDrive::startWrite(const WriteJob& job) {
    if (!beginJob()) {
        return false;
    }
    std::string problem;
    track_ = LibburnTrack::lay(job.image, job.imageBytes, job.useFifo, problem);
    if (!track_) {
        return fail(problem);
    }
    options_ = makeWriteOptions(drive_, job.leaveAppendable, job.simulate, job.startByte);
    if (!options_) {
        return fail("Cannot set up the write options");
    }
    const std::size_t messagesBefore = session_.messages().size();
    burn_drive_set_speed(drive_, 0, job.kilobytesPerSecond);
    speed_ = speedTaken(job.kilobytesPerSecond, messagesBefore);

    std::array<char, BURN_REASONS_LEN> reasons{};
    if (burn_write_opts_auto_write_type(options_.get(), track_->disc(), reasons.data(), 0) ==
        BURN_WRITE_NONE) {
        return fail(std::string("This medium cannot be written this way (") + reasons.data() + ")");
    }
    trackStart_ = 0;
    if (job.startByte >= 0) {
        trackStart_ = job.startByte;
    } else {
        int lba = 0;
        int nextWritable = 0;
        if (burn_disc_track_lba_nwa(drive_, options_.get(), 0, &lba, &nextWritable) == 1) {
            trackStart_ = static_cast<std::int64_t>(nextWritable) * sectorBytes;
        }
    }
    // The preparation takes drive commands, seconds on a real drive: a cancel
    // that came meanwhile must not start the write.
    if (job.cancelRequested && job.cancelRequested()) {
        ownFailure_ = "Canceled before writing";
        freeJob();
        return false;
    }
    jobThreads_.emplace();
    written_.start(DriveWriteProgress::Clock::now());
    burn_disc_write(options_.get(), track_->disc());
    return true;
}

int OpticalDrive::speedTaken(int asked, std::size_t messagesBefore) {
    // A drive that refuses the speed is no error: it writes at a speed of its
    // own. What libburn said about it stays, since a failure later is
    // explained by the most severe message, not the first.
    readSpeed_ = std::max(0, burn_drive_get_read_speed(drive_));
    const std::vector<LibburnMessage>& messages = session_.messages();
    const int sorry = LibburnSession::severityRank("SORRY");
    if (std::any_of(messages.begin() + static_cast<std::ptrdiff_t>(messagesBefore), messages.end(),
                    [sorry](const LibburnMessage& message) {
                        return message.code == scsiErrorCondition || message.severity >= sorry;
                    })) {
        return speedRefused;
    }
    // A drive takes the fastest of its speeds for this disc that is not above
    // the one asked for, and its slowest when all are.
    burn_speed_descriptor* taken = nullptr;
    if (burn_drive_get_best_speed(drive_, asked, &taken, 0) != 1 &&
        burn_drive_get_best_speed(drive_, -1, &taken, 0) != 1) {
        return 0;
    }
    if (taken == nullptr) {
        return 0;
    }
    readSpeed_ = taken->read_speed > 0 ? taken->read_speed : readSpeed_;
    return taken->write_speed;
}

Activity OpticalDrive::activity() {
    Activity activity;
    if (drive_ == nullptr) {
        return activity;
    }
    burn_progress progress{};
    switch (burn_drive_get_status(drive_, &progress)) {
    case BURN_DRIVE_IDLE:
        awaitJobEnd();
        activity.kind = ActivityKind::Idle;
        break;
    case BURN_DRIVE_SPAWNING:
    case BURN_DRIVE_GRABBING:
    case BURN_DRIVE_READING:
    case BURN_DRIVE_READING_SYNC:
        activity.kind = ActivityKind::Preparing;
        break;
    case BURN_DRIVE_ERASING:
    case BURN_DRIVE_FORMATTING:
        activity.kind = ActivityKind::Erasing;
        activity.percent = percentOf(progress);
        break;
    case BURN_DRIVE_WRITING:
    case BURN_DRIVE_WRITING_SYNC:
        activity.kind = ActivityKind::Writing;
        if (progress.sectors > 0) {
            activity.bytes =
                written_.next(writtenByDrive(progress), progress.sector >= progress.sectors,
                              static_cast<std::int64_t>(progress.sectors) * sectorBytes,
                              DriveWriteProgress::Clock::now());
            activity.percent = 100.0 * static_cast<double>(activity.bytes) /
                               static_cast<double>(progress.sectors * sectorBytes);
        }
        break;
    case BURN_DRIVE_WRITING_LEADIN:
    case BURN_DRIVE_WRITING_PREGAP:
        activity.kind = ActivityKind::Writing;
        break;
    case BURN_DRIVE_CLOSING_TRACK:
        activity.kind = ActivityKind::Closing;
        break;
    case BURN_DRIVE_CLOSING_SESSION:
    case BURN_DRIVE_WRITING_LEADOUT:
        activity.kind = ActivityKind::Finishing;
        break;
    }
    return activity;
}

void OpticalDrive::cancel() {
    if (drive_ != nullptr) {
        burn_drive_cancel(drive_);
    }
}

bool OpticalDrive::lastJobSucceeded() {
    return drive_ != nullptr && ownFailure_.empty() && burn_drive_wrote_well(drive_) == 1;
}

std::string OpticalDrive::writtenSha256() {
    return track_ ? track_->fedSha256() : std::string();
}

bool OpticalDrive::read(std::int64_t byteAddress, std::span<char> buffer) {
    session_.forgetMessages();
    ownFailure_.clear();
    if (drive_ == nullptr) {
        ownFailure_ = "The drive" + outside::quoted(" " + device_) + " is not held";
        return false;
    }
    off_t got = 0;
    const int done = burn_read_data(drive_, byteAddress, buffer.data(),
                                    static_cast<off_t>(buffer.size()), &got, 0);
    return done > 0 && got == static_cast<off_t>(buffer.size());
}

std::string OpticalDrive::failureReason() {
    if (!ownFailure_.empty()) {
        return ownFailure_;
    }
    const std::string reason = session_.explanation();
    return reason.empty() ? "libburn reported no reason" : reason;
}

void OpticalDrive::release(bool eject) {
    releaseDrive(eject);
}

void OpticalDrive::awaitJobEnd() {
    if (jobThreads_) {
        jobThreads_->awaitEnd(std::chrono::seconds(10));
        jobThreads_.reset();
    }
}

void OpticalDrive::freeJob() {
    awaitJobEnd();
    options_.reset();
    track_.reset();
}

void OpticalDrive::releaseDrive(bool eject) {
    if (drive_ != nullptr) {
        // A drive let go of in the middle of a command is left in an unknown state.
        if (burn_drive_get_status(drive_, nullptr) != BURN_DRIVE_IDLE) {
            burn_drive_cancel(drive_);
            while (burn_drive_get_status(drive_, nullptr) != BURN_DRIVE_IDLE) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        freeJob();
        burn_drive_release(drive_, eject ? 1 : 0);
        drive_ = nullptr;
    }
    if (info_ != nullptr) {
        burn_drive_info_free(info_);
        info_ = nullptr;
    }
}

} // namespace disctool
