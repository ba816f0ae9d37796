// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/FileDrive.h"

#include "disctool/OutsideText.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>

namespace disctool {

namespace {

std::string because(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

GrabResult failed(std::string reason) {
    return {GrabStatus::Failed, std::move(reason)};
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// The largest file this process may write: a write beyond it fails like a
// full disk.
std::int64_t fileSizeLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return static_cast<std::int64_t>(limit.rlim_cur);
}

} // namespace

FileDrive::FileDrive(std::string path)
    : path_(std::move(path)) {}

GrabResult FileDrive::grab() {
    if (path_.empty()) {
        return failed("No file given after \"stdio:\"");
    }
    target_ = path_;
    struct stat link {};
    if (::lstat(path_.c_str(), &link) != 0) {
        if (errno != ENOENT) {
            return failed(because("Cannot examine " + outside::quoted(path_, "the target")));
        }
        if (::access(directoryOf(path_).c_str(), W_OK | X_OK) != 0) {
            return failed(because("Cannot create " + outside::quoted(path_, "the target")));
        }
    } else if (S_ISLNK(link.st_mode)) {
        // A link another user planted (in a shared folder) must not decide
        // where the image goes.
        if (link.st_uid != ::geteuid() && link.st_uid != 0) {
            return failed("The target" + outside::quoted(" " + path_) +
                          " is a link that another user made: name the file itself");
        }
        const std::unique_ptr<char, decltype(&std::free)> resolved(
            ::realpath(path_.c_str(), nullptr), &std::free);
        // As "cp" does, never through a link to nothing: the file it would
        // create is not one the user named.
        if (!resolved) {
            return failed(errno == ENOENT
                              ? "The target" + outside::quoted(" " + path_) +
                                    " is a link to a file that does not exist: "
                                    "name the file itself"
                              : because("Cannot follow the link" + outside::quoted(" " + path_)));
        }
        target_ = resolved.get();
    }
    struct stat status {};
    const bool exists = ::stat(target_.c_str(), &status) == 0;
    if (exists && S_ISBLK(status.st_mode)) {
        // Exclusively: fails while the device is mounted or held by another program.
        device_.reset(::open(target_.c_str(), O_RDWR | O_EXCL | O_CLOEXEC));
        if (!device_.isValid()) {
            return {errno == EBUSY ? GrabStatus::Busy : GrabStatus::Failed,
                    because("Cannot write to " + outside::quoted(target_, "the target"))};
        }
        return {GrabStatus::Grabbed, {}};
    }
    if (exists && !S_ISREG(status.st_mode)) {
        return failed("The target" + outside::quoted(" " + target_) +
                      " is neither a file nor a block device");
    }
    if (exists && ::access(target_.c_str(), R_OK | W_OK) != 0) {
        return failed(because("Cannot write to " + outside::quoted(target_, "the target")));
    }
    std::string problem;
    std::optional<ReplacementFile> created = ReplacementFile::create(target_, problem);
    if (!created) {
        return failed(problem);
    }
    replacement_.emplace(std::move(*created));
    return {GrabStatus::Grabbed, {}};
}

std::int64_t FileDrive::room() const {
    if (device_.isValid()) {
        std::uint64_t size = 0;
        return ::ioctl(device_.get(), BLKGETSIZE64, &size) == 0 ? static_cast<std::int64_t>(size)
                                                                : 0;
    }
    struct statvfs fileSystem {};
    if (!replacement_ || ::fstatvfs(replacement_->descriptor(), &fileSystem) != 0) {
        return 0;
    }
    const auto free = static_cast<std::int64_t>(fileSystem.f_bavail) *
                      static_cast<std::int64_t>(fileSystem.f_frsize);
    return std::min(free, fileSizeLimit());
}

Medium FileDrive::medium(const WriteIntent& /*intent*/) {
    Medium medium;
    medium.status = DiscStatus::Blank;
    medium.kind = fileMedium;
    medium.profileName = "file";
    medium.canSimulate = true;
    medium.removable = false;
    medium.freeBytes = room();
    medium.capacityBytes = medium.freeBytes;
    return medium;
}

bool FileDrive::startErase(bool /*fast*/) {
    failure_ = "A file cannot be erased";
    return false;
}

bool FileDrive::startFormat() {
    failure_ = "A file cannot be formatted";
    return false;
}

bool FileDrive::startWrite(const WriteJob& job) {
    writer_.reset();
    failure_.clear();
    if (targetFd() < 0) {
        failure_ = "The target" + outside::quoted(" " + path_) + " is not held";
        return false;
    }
    struct stat image {};
    if (::fstat(job.imageFileFd, &image) != 0) {
        failure_ = because("Cannot examine the image");
        return false;
    }
    struct stat target {};
    if (::stat(target_.c_str(), &target) == 0 && image.st_dev == target.st_dev &&
        image.st_ino == target.st_ino) {
        failure_ = "The target" + outside::quoted(" " + target_) + " is the image itself";
        return false;
    }
    if (job.cancelRequested && job.cancelRequested()) {
        failure_ = "Canceled before writing";
        return false;
    }
    // The copy of a private image stays as private as the image.
    imagePermissions_ = image.st_mode & 0777;
    lastJobSimulated_ = job.simulate;
    imageBytes_ = job.imageBytes;
    writer_ = std::make_unique<ImageWriter>(job.image, job.imageBytes, targetFd(), job.simulate);
    return true;
}

Activity FileDrive::activity() {
    Activity activity;
    if (writer_ && !writer_->finished()) {
        activity.kind = ActivityKind::Writing;
        activity.bytes = writer_->bytesDone();
        activity.percent =
            100.0 * static_cast<double>(activity.bytes) / static_cast<double>(imageBytes_);
    }
    return activity;
}

void FileDrive::awaitChange(std::chrono::milliseconds most) {
    if (writer_) {
        writer_->awaitEnd(most);
    } else {
        Drive::awaitChange(most);
    }
}

void FileDrive::cancel() {
    if (writer_) {
        writer_->cancel();
    }
}

bool FileDrive::lastJobSucceeded() {
    return failure_.empty() && writer_ && writer_->finished() && writer_->failure().empty();
}

bool FileDrive::commit() {
    // A test burn wrote nothing: the file it would have replaced stays.
    if (!replacement_ || lastJobSimulated_) {
        return true;
    }
    return replacement_->replaceTarget(imagePermissions_, failure_);
}

std::string FileDrive::writtenSha256() {
    return writer_ ? writer_->imageSha256() : std::string();
}

bool FileDrive::read(std::int64_t byteAddress, std::span<char> buffer) {
    failure_.clear();
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got =
            ::pread(targetFd(), buffer.data() + done, buffer.size() - done,
                    static_cast<off_t>(byteAddress + static_cast<std::int64_t>(done)));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            if (got == 0) {
                errno = EIO; // shorter than what was written
            }
            failure_ = because("Cannot read " + outside::quoted(target_, "the target"));
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

std::string FileDrive::failureReason() {
    if (failure_.empty() && writer_ && writer_->finished()) {
        return writer_->failure();
    }
    return failure_;
}

void FileDrive::release(bool /*eject*/) {
    writer_.reset();
    replacement_.reset();
    device_.reset();
}

} // namespace disctool
