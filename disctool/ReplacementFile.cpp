// SPDX-License-Identifier: GPL-3.0-or-later
#include "disctool/ReplacementFile.h"

#include "disctool/OutsideText.h"
#include "posix/FileDescriptor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace disctool {

std::optional<ReplacementFile> ReplacementFile::create(const std::string& target,
                                                       std::string& problem) {
    const std::size_t slash = target.find_last_of('/');
    const std::string directory =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string path = directory + "/." + name + ".emberlin-XXXXXX";
    posix::FileDescriptor created(::mkostemp(path.data(), O_CLOEXEC));
    if (!created.isValid()) {
        problem = "Cannot create a file beside " + outside::quoted(target, "the target") + ": " +
                  std::strerror(errno);
        return std::nullopt;
    }
    std::optional<struct stat> replaced;
    if (struct stat status{}; ::stat(target.c_str(), &status) == 0) {
        replaced = status;
    }
    return ReplacementFile(std::move(created), target, std::move(path), replaced);
}

ReplacementFile::ReplacementFile(posix::FileDescriptor fd, std::string target, std::string path,
                                 std::optional<struct stat> replaced)
    : fd_(std::move(fd))
    , target_(std::move(target))
    , path_(std::move(path))
    , replaced_(replaced) {}

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : fd_(std::move(other.fd_))
    , target_(std::move(other.target_))
    , path_(std::exchange(other.path_, {}))
    , replaced_(other.replaced_) {}

ReplacementFile::~ReplacementFile() {
    if (!path_.empty()) {
        ::unlink(path_.c_str());
    }
}

bool ReplacementFile::replaceTarget(mode_t allowed, std::string& problem) {
    // Set-id and sticky bits say nothing of who may read the bytes: they stay.
    allowed |= 07000;
    if (replaced_) {
        ::fchmod(fd_.get(), replaced_->st_mode & 07777 & allowed);
        // Only root may give a file away; anyone else keeps it as their own.
        if (::geteuid() == 0 && ::fchown(fd_.get(), replaced_->st_uid, replaced_->st_gid) != 0) {
            problem = "Cannot give " + outside::quoted(target_, "the target") +
                      " back to its owner: " + std::strerror(errno);
            return false;
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd_.get(), 0666 & ~mask & allowed);
    }
    if (::rename(path_.c_str(), target_.c_str()) != 0) {
        problem = "Cannot replace " + outside::quoted(target_, "the target") + ": " +
                  std::strerror(errno);
        return false;
    }
    path_.clear();
    return true;
}

} // namespace disctool
