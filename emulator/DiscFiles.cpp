// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulator/DiscFiles.h"

#include "emulator/DiscStateFile.h"
#include "emulator/OwnFile.h"
#include "posix/FileDescriptor.h"
#include "posix/LockHolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace emulator {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// Why an existing file may not be one of this user's own.
std::optional<std::string> foreignFileProblem(const std::string& file, const struct stat& status) {
    if (S_ISLNK(status.st_mode)) {
        return file + " is a symbolic link: remove it or name another file";
    }
    if (!S_ISREG(status.st_mode)) {
        return file + " is not a regular file: name another file";
    }
    if (status.st_uid != ::geteuid()) {
        return file + " belongs to another user: name another file";
    }
    return std::nullopt;
}

// Whether a program of this user holds the file locked, as libburn does a
// drive it uses: an emulated drive at work on the disc, which may have grown
// it since the state was written. Another user's lock does not count.
bool heldByAProgramOfThisUser(const std::string& file) {
    const posix::FileDescriptor opened(
        ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    return opened.isValid() && posix::lockedByThisUser(opened.get());
}

// Why a disc file, which exists, may not be used.
std::optional<std::string> existingFileProblem(const std::string& file, const struct stat& status,
                                               const std::optional<RememberedDisc>& remembered) {
    if (std::optional<std::string> foreign = foreignFileProblem(file, status)) {
        return foreign;
    }
    const bool described = remembered && remembered->file == nameOf(file) &&
                           (remembered->bytes == status.st_size || heldByAProgramOfThisUser(file));
    if (status.st_size > 0 && !described) {
        return file + " holds data but no emulated disc: remove it or name another file";
    }
    if (::access(file.c_str(), R_OK | W_OK) != 0) {
        return "Cannot write " + file + ": " + std::strerror(errno);
    }
    return std::nullopt;
}

} // namespace

DiscFiles::DiscFiles(std::string path, std::size_t discs, std::optional<std::string> log)
    : path_(std::move(path))
    , discs_(discs)
    , log_(std::move(log)) {}

std::string DiscFiles::disc(std::size_t index) const {
    return index == 0 ? path_ : path_ + "." + std::to_string(index + 1);
}

std::optional<std::string> DiscFiles::problem() const {
    std::string why;
    const std::optional<RememberedDiscs> remembered = DiscStateFile(state()).load(why);
    if (!remembered) {
        return state() + " is no state an emulated drive left (" + why +
               "): remove it or name another file";
    }
    const std::string folder = folderOf(path_);
    for (std::size_t i = 0; i < discs_; ++i) {
        const std::string file = disc(i);
        struct stat status {};
        if (::lstat(file.c_str(), &status) == 0) {
            const std::optional<RememberedDisc> none;
            if (std::optional<std::string> wrong = existingFileProblem(
                    file, status, i < remembered->size() ? (*remembered)[i] : none)) {
                return wrong;
            }
        } else if (errno != ENOENT || ::access(folder.c_str(), W_OK | X_OK) != 0) {
            return "Cannot create " + file + ": " + std::strerror(errno);
        }
    }
    struct stat logStatus {};
    if (log_ && ::lstat(log_->c_str(), &logStatus) == 0) {
        if (std::optional<std::string> foreign = foreignFileProblem(*log_, logStatus)) {
            return foreign;
        }
    }
    // The state is written anew beside the discs.
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return "Cannot write in " + folder + ": " + std::strerror(errno);
    }
    return std::nullopt;
}

std::optional<std::string> DiscFiles::prepare() const {
    if (std::optional<std::string> wrong = problem()) {
        return wrong;
    }
    // What the folder really allows, whatever its modes say to this user.
    std::string probe = state() + ".XXXXXX";
    if (const OwnFile written = OwnFile::createUnique(probe); !written.isValid()) {
        return "Cannot write in " + folderOf(path_) + ": " + std::strerror(written.error());
    }
    ::unlink(probe.c_str());
    if (const OwnFile node = OwnFile::open(path_, O_RDWR | O_CREAT); !node.isValid()) {
        return "Cannot create " + path_ + ": " + std::strerror(node.error());
    }
    return std::nullopt;
}

} // namespace emulator
