// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibburnDrive.h"

#include "FileDescriptor.h"
#include "ImageSource.h"
#include "MediumProbe.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <pthread.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

using namespace burn;

namespace disctool {

namespace {

constexpr std::string_view stdioPrefix = "stdio:";
constexpr std::int64_t sectorBytes = 2048;

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

double percentOf(const burn_progress& progress) {
    if (progress.sectors <= 0) {
        return -1.0;
    }
    return 100.0 * static_cast<double>(progress.sector) / static_cast<double>(progress.sectors);
}

} // namespace

LibburnDrive::LibburnDrive(LibburnSession& session, std::string address,
                           std::optional<DeviceAccess> access)
    : session_(session)
    , address_(std::move(address))
    , access_(std::move(access)) {}

LibburnDrive::~LibburnDrive() {
    if (grabber_.joinable()) {
        grabber_.join();
    }
    releaseDrive(false);
}

bool LibburnDrive::isFileBacked() const {
    return address_.starts_with(stdioPrefix);
}

std::string LibburnDrive::targetPath() const {
    return address_.substr(stdioPrefix.size());
}

void LibburnDrive::startGrab() {
    forgetMessages();
    grabResult_.reset();
    std::promise<GrabResult> result;
    grab_ = result.get_future();
    grabber_ = std::thread([this, result = std::move(result)]() mutable {
        // Signals are for the flow, which notices them on its own thread.
        sigset_t cancels;
        sigemptyset(&cancels);
        for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
            sigaddset(&cancels, signal);
        }
        ::pthread_sigmask(SIG_BLOCK, &cancels, nullptr);
        result.set_value(isFileBacked() ? grabFileBacked() : grabDevice(true));
    });
}

std::optional<GrabResult> LibburnDrive::grabbed() {
    if (!grabResult_ && grab_.valid() &&
        grab_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        grabber_.join();
        grabResult_ = grab_.get();
    }
    return grabResult_;
}

bool LibburnDrive::grabbing() {
    return grab_.valid() && grab_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

GrabResult LibburnDrive::grabFileBacked() {
    // libburn only finds out at write time that it may not write the file.
    const std::string path = targetPath();
    if (path.empty()) {
        return {GrabStatus::Failed, "No file given after \"stdio:\""};
    }
    if (::access(path.c_str(), F_OK) == 0) {
        if (::access(path.c_str(), R_OK | W_OK) != 0) {
            return {GrabStatus::Failed, "Cannot write to " + path + ": " + std::strerror(errno)};
        }
    } else {
        const std::size_t slash = path.find_last_of('/');
        const std::string directory =
            slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
        if (::access(directory.c_str(), W_OK | X_OK) != 0) {
            return {GrabStatus::Failed, "Cannot create " + path + ": " + std::strerror(errno)};
        }
    }
    // A device node (stdio:/dev/sdb) can only be written in place.
    struct stat status {};
    const bool exists = ::stat(path.c_str(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode)) {
        return grabAddress(address_, false);
    }
    std::string problem;
    std::optional<ReplacementFile> created =
        ReplacementFile::create(exists ? canonical(path) : path, problem);
    if (!created) {
        return {GrabStatus::Failed, problem};
    }
    replacement_.reset();
    replacement_.emplace(std::move(*created));
    return grabAddress(std::string(stdioPrefix) + replacement_->path(), false);
}

GrabResult LibburnDrive::grabDevice(bool load) {
    if (access_) {
        const DeviceAccess::Result verdict = access_->check(address_);
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
    }
    devicePath_ = canonical(address_);
    std::array<char, BURN_DRIVE_ADR_LEN> converted{};
    std::string libburnAddress = devicePath_;
    if (burn_drive_convert_fs_adr(devicePath_.data(), converted.data()) == 1) {
        libburnAddress = converted.data();
    }
    return grabAddress(libburnAddress, load);
}

GrabResult LibburnDrive::grabAddress(const std::string& libburnAddress, bool load) {
    grabbedAddress_ = libburnAddress;
    std::string address = libburnAddress;
    const int grabbed = burn_drive_scan_and_grab(&info_, address.data(), load ? 1 : 0);
    collectMessages();
    if (grabbed == 1) {
        drive_ = info_[0].drive;
        return {GrabStatus::Grabbed, {}};
    }
    if (info_ != nullptr) {
        burn_drive_info_free(info_);
        info_ = nullptr;
    }
    for (const LibburnMessage& message : messages_) {
        if (message.code == cannotOpenBusyDevice || message.code == alreadyInUse) {
            return {GrabStatus::Busy, message.text};
        }
    }
    if (grabbed == 0 && !isFileBacked()) {
        return {GrabStatus::Missing, address_ + " is not a CD/DVD/BD drive"};
    }
    const std::string reason = LibburnSession::explain(messages_);
    return {GrabStatus::Failed, reason.empty() ? "Cannot open the drive " + address_ : reason};
}

Medium LibburnDrive::medium(const WriteIntent& intent) {
    if (drive_ == nullptr) {
        return {};
    }
    const Medium medium = probeMedium(drive_, intent, isFileBacked());
    collectMessages();
    return medium;
}

void LibburnDrive::reassess() {
    if (drive_ != nullptr) {
        burn_drive_re_assess(drive_, 0);
        collectMessages();
    }
}

bool LibburnDrive::present() {
    if (isFileBacked() || devicePath_.empty()) {
        return true;
    }
    struct stat status {};
    return ::stat(devicePath_.c_str(), &status) == 0;
}

GrabResult LibburnDrive::ejectDisc() {
    // libburn ejects only when it lets go of a drive; take it back at once,
    // without closing the tray on the user.
    releaseDrive(true);
    forgetMessages();
    return isFileBacked() ? grabAddress(grabbedAddress_, false) : grabDevice(false);
}

GrabResult LibburnDrive::openTray() {
    if (isFileBacked()) {
        return {GrabStatus::Grabbed, {}};
    }
    return ejectDisc();
}

bool LibburnDrive::startErase(bool fast) {
    forgetMessages();
    ownFailure_.clear();
    burn_disc_erase(drive_, fast ? 1 : 0);
    return true;
}

bool LibburnDrive::startFormat() {
    forgetMessages();
    ownFailure_.clear();
    // The drive's default size, with its default spare areas, and without a
    // certification that would take hours.
    constexpr int defaultSize = 3 << 1;
    constexpr int noCertification = 1 << 6;
    burn_disc_format(drive_, 0, defaultSize | noCertification);
    return true;
}

Reload LibburnDrive::reloadMedium() {
    // Only a disc loaded anew is surely read from the disc: a drive that
    // cannot close its tray is only let go of and taken again.
    const bool load = !isFileBacked() && trayClosesByItself(drive_);
    releaseDrive(load);
    forgetMessages();
    const GrabResult grabbed =
        isFileBacked() ? grabAddress(grabbedAddress_, false) : grabDevice(load);
    if (grabbed.status != GrabStatus::Grabbed) {
        ownFailure_ = grabbed.reason;
        return Reload::Failed;
    }
    return load || isFileBacked() ? Reload::Reloaded : Reload::RegrabbedOnly;
}

bool LibburnDrive::fail(std::string reason) {
    collectMessages();
    const std::string libburnReason = LibburnSession::explain(messages_);
    ownFailure_ = libburnReason.empty() ? std::move(reason) : reason + ": " + libburnReason;
    freeJob();
    return false;
}

bool LibburnDrive::prepareTarget(const WriteJob& job) {
    if (!isFileBacked()) {
        return true;
    }
    const std::string path = targetPath();
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return true;
    }
    struct stat image {};
    if (::fstat(job.imageFd, &image) == 0 && image.st_dev == status.st_dev &&
        image.st_ino == status.st_ino) {
        ownFailure_ = "The target " + path + " is the image itself";
        return false;
    }
    return true;
}

bool LibburnDrive::startWrite(const WriteJob& job) {
    freeJob();
    forgetMessages();
    ownFailure_.clear();
    lastJobSimulated_ = job.simulate;

    FileDescriptor sourceFd(::dup(job.imageFd));
    if (!sourceFd.valid() || ::lseek(sourceFd.get(), 0, SEEK_SET) != 0) {
        return fail(std::string("Cannot read the image: ") + std::strerror(errno));
    }
    imageDigest_ = std::make_shared<Sha256>();
    imageBytes_ = job.imageBytes;
    imageSource_ = makeImageSource(sourceFd.release(), job.imageBytes, imageDigest_);
    if (!imageSource_) {
        return fail("Cannot prepare the image for libburn");
    }
    if (job.useFifo) {
        // Flag 1: the source delivers any amount per call, so the fifo reads
        // it in large pieces.
        fifo_.reset(burn_fifo_source_new(imageSource_.get(), 2048, fifoBytes / 2048, 1));
        if (!fifo_) {
            return fail("Cannot set up the write buffer");
        }
    }
    disc_.reset(burn_disc_create());
    burnSession_.reset(burn_session_create());
    track_.reset(burn_track_create());
    // Pad the last sector, nothing more: a verify compares the image's own length.
    burn_track_define_data(track_.get(), 0, 0, 1, BURN_MODE1);
    if (burn_track_set_source(track_.get(), fifo_ ? fifo_.get() : imageSource_.get()) !=
        BURN_SOURCE_OK) {
        return fail("Cannot attach the image to the track");
    }
    if (burn_session_add_track(burnSession_.get(), track_.get(), BURN_POS_END) <= 0 ||
        burn_disc_add_session(disc_.get(), burnSession_.get(), BURN_POS_END) <= 0) {
        return fail("Cannot lay out the disc");
    }

    options_ = makeWriteOptions(drive_, job.leaveAppendable, job.simulate, job.startByte);
    if (!options_) {
        return fail("Cannot set up the write options");
    }
    burn_drive_set_speed(drive_, 0, job.kilobytesPerSecond);
    speed_ = speedTaken(job.kilobytesPerSecond);

    std::array<char, BURN_REASONS_LEN> reasons{};
    if (burn_write_opts_auto_write_type(options_.get(), disc_.get(), reasons.data(), 0) ==
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
    if (!prepareTarget(job)) {
        freeJob();
        return false;
    }
    // The preparation takes drive commands, seconds on a real drive: a cancel
    // that came meanwhile must not start the write.
    if (job.cancelRequested && job.cancelRequested()) {
        ownFailure_ = "Canceled before writing";
        freeJob();
        return false;
    }
    burn_disc_write(options_.get(), disc_.get());
    collectMessages();
    return true;
}

int LibburnDrive::speedTaken(int asked) {
    // A drive that refuses the speed is no error: it writes at a speed of its
    // own. What libburn said about it stays, since a failure later is
    // explained by the most severe message, not the first.
    readSpeed_ = std::max(0, burn_drive_get_read_speed(drive_));
    const std::size_t before = messages_.size();
    collectMessages();
    const int sorry = LibburnSession::severityRank("SORRY");
    if (std::any_of(messages_.begin() + static_cast<std::ptrdiff_t>(before), messages_.end(),
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

Activity LibburnDrive::activity() {
    Activity activity;
    if (drive_ == nullptr) {
        return activity;
    }
    burn_progress progress{};
    const burn_drive_status status = burn_drive_get_status(drive_, &progress);
    collectMessages();
    switch (status) {
    case BURN_DRIVE_IDLE:
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
        activity.percent = percentOf(progress);
        if (progress.sectors > 0) {
            activity.bytes = static_cast<std::int64_t>(progress.sector) * sectorBytes;
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

void LibburnDrive::cancel() {
    if (drive_ != nullptr) {
        burn_drive_cancel(drive_);
    }
}

bool LibburnDrive::lastJobSucceeded() {
    return drive_ != nullptr && ownFailure_.empty() && burn_drive_wrote_well(drive_) == 1;
}

bool LibburnDrive::commit() {
    // A test burn wrote nothing: the file it would have replaced stays.
    if (!replacement_ || lastJobSimulated_) {
        return true;
    }
    return replacement_->replaceTarget(ownFailure_);
}

std::int64_t LibburnDrive::trackStartByte() {
    return trackStart_;
}

int LibburnDrive::writeSpeed() {
    return speed_;
}

int LibburnDrive::readSpeed() {
    return readSpeed_;
}

std::string LibburnDrive::writtenSha256() {
    if (!imageDigest_ || imageDigest_->bytesAdded() != imageBytes_) {
        return {};
    }
    return imageDigest_->hexDigest();
}

bool LibburnDrive::read(std::int64_t byteAddress, std::span<char> buffer) {
    forgetMessages();
    ownFailure_.clear();
    off_t got = 0;
    const int done = burn_read_data(drive_, byteAddress, buffer.data(),
                                    static_cast<off_t>(buffer.size()), &got, 0);
    collectMessages();
    return done > 0 && got == static_cast<off_t>(buffer.size());
}

std::string LibburnDrive::failureReason() {
    collectMessages();
    if (!ownFailure_.empty()) {
        return ownFailure_;
    }
    const std::string reason = LibburnSession::explain(messages_);
    return reason.empty() ? "libburn reported no reason" : reason;
}

void LibburnDrive::release(bool eject) {
    releaseDrive(eject);
    replacement_.reset();
}

void LibburnDrive::collectMessages() {
    for (LibburnMessage& message : session_.takeMessages()) {
        messages_.push_back(std::move(message));
    }
}

void LibburnDrive::forgetMessages() {
    session_.takeMessages();
    messages_.clear();
}

void LibburnDrive::waitUntilIdle() {
    while (burn_drive_get_status(drive_, nullptr) != BURN_DRIVE_IDLE) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void LibburnDrive::freeJob() {
    options_.reset();
    disc_.reset();
    burnSession_.reset();
    track_.reset();
    fifo_.reset();
    imageSource_.reset();
}

void LibburnDrive::releaseDrive(bool eject) {
    if (drive_ != nullptr) {
        // A drive let go of in the middle of a command is left in an unknown state.
        if (burn_drive_get_status(drive_, nullptr) != BURN_DRIVE_IDLE) {
            burn_drive_cancel(drive_);
            waitUntilIdle();
        }
        freeJob();
        burn_drive_release(drive_, eject ? 1 : 0);
        drive_ = nullptr;
    }
    if (info_ != nullptr) {
        burn_drive_info_free(info_);
        info_ = nullptr;
    }
    collectMessages();
}

} // namespace disctool
