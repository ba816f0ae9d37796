// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/ToolRun.h"

#include "posix/FileDescriptor.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <iterator>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::string_view prompt = "Please insert a disc:";
constexpr uid_t nobodyId = 65534;

// Whether another user may read the file: it and every folder above it open
// to others.
bool othersReach(const std::filesystem::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0 || (status.st_mode & S_IROTH) == 0) {
        return false;
    }
    for (std::filesystem::path folder = file.parent_path();; folder = folder.parent_path()) {
        if (::stat(folder.c_str(), &status) != 0 || (status.st_mode & S_IXOTH) == 0) {
            return false;
        }
        if (folder == folder.root_path()) {
            return true;
        }
    }
}

// Copies of the build's programs and libraries that another user can run:
// the build may lie in a folder only its owner enters (a checkout in root's
// home). A program is copied with the libraries beside it, where the tool
// looks for the drive emulator.
class OthersCopies {
public:
    OthersCopies() {
        std::string folder = (std::filesystem::temp_directory_path() / "emberlin-run-XXXXXX");
        if (::mkdtemp(folder.data()) == nullptr || ::chmod(folder.c_str(), 0755) != 0) {
            throw std::runtime_error("cannot make a folder for other users");
        }
        folder_ = folder;
    }
    ~OthersCopies() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    OthersCopies(const OthersCopies&) = delete;
    OthersCopies& operator=(const OthersCopies&) = delete;

    std::string reachable(const std::filesystem::path& file) {
        if (othersReach(file)) {
            return file;
        }
        copy(file);
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
            if (entry.path().extension() == ".so") {
                copy(entry.path());
            }
        }
        return folder_ / file.filename();
    }

private:
    void copy(const std::filesystem::path& file) {
        const std::filesystem::path copied = folder_ / file.filename();
        std::filesystem::copy_file(file, copied, std::filesystem::copy_options::skip_existing);
        std::filesystem::permissions(
            copied, std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
            std::filesystem::perm_options::add);
    }

    std::filesystem::path folder_;
};

// The options, with each program and preloaded library one another user can
// reach.
ToolRun::Options forOtherUser(ToolRun::Options options) {
    static OthersCopies copies;
    options.program = copies.reachable(options.program);
    constexpr std::string_view preload = "LD_PRELOAD=";
    for (std::string& variable : options.environment) {
        if (!variable.starts_with(preload)) {
            continue;
        }
        std::string libraries;
        std::istringstream list(variable.substr(preload.size()));
        for (std::string library; std::getline(list, library, ':');) {
            if (!libraries.empty()) {
                libraries += ':';
            }
            libraries += copies.reachable(library);
        }
        variable = std::string(preload) + libraries;
    }
    return options;
}

[[noreturn]] void runChild(const std::vector<std::string>& arguments,
                           const ToolRun::Options& options, int output, int input) {
    ::dup2(output, STDOUT_FILENO);
    ::dup2(output, STDERR_FILENO);
    ::dup2(input >= 0 ? input : ::open("/dev/null", O_RDONLY), STDIN_FILENO);
    for (const std::string& variable : options.environment) {
        ::putenv(const_cast<char*>(variable.c_str()));
    }
    if (options.fileSizeLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                           static_cast<rlim_t>(options.fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.asNobody && ::getuid() == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobodyId) != 0 || ::setuid(nobodyId) != 0 ||
            ::chdir("/") != 0) {
            ::_exit(126);
        }
    }
    std::vector<char*> argv;
    std::string program = options.program;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

} // namespace

ToolRun::ToolRun(const std::vector<std::string>& arguments)
    : ToolRun(arguments, Options{}) {}

ToolRun::ToolRun(const std::vector<std::string>& arguments, const Options& given) {
    const Options options = given.asNobody && ::getuid() == 0 ? forOtherUser(given) : given;
    // The tool's ends, closed here once it has its copies.
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    output_.reset(pipe[0]);
    const posix::FileDescriptor toolOutput(pipe[1]);
    if (options.outputRoom) {
        ::fcntl(pipe[1], F_SETPIPE_SZ, 4096);
        filler_ = static_cast<std::size_t>(::fcntl(pipe[1], F_GETPIPE_SZ)) - *options.outputRoom;
        const std::string filler(filler_, '\0');
        if (::write(pipe[1], filler.data(), filler.size()) != static_cast<ssize_t>(filler.size())) {
            throw std::runtime_error("cannot fill the pipe");
        }
    }
    int input[2] = {-1, -1};
    if (options.answerable && ::pipe2(input, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    input_.reset(input[1]);
    const posix::FileDescriptor toolInput(input[0]);
    pid_ = ::fork();
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        runChild(arguments, options, toolOutput.get(), toolInput.get());
    }
}

ToolRun::~ToolRun() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

bool ToolRun::readMore(std::chrono::steady_clock::time_point deadline) {
    if (!output_) {
        return false;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
        return false;
    }
    pollfd ready{output_.get(), POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
        return false;
    }
    char buffer[4096];
    const ssize_t got = ::read(output_.get(), buffer, sizeof buffer);
    if (got <= 0) {
        output_.reset();
        cutLines(true);
        return false;
    }
    const std::size_t skipped = std::min(filler_, static_cast<std::size_t>(got));
    filler_ -= skipped;
    pending_.append(buffer + skipped, static_cast<std::size_t>(got) - skipped);
    cutLines(false);
    return true;
}

void ToolRun::cutLines(bool atEnd) {
    for (;;) {
        if (pending_.starts_with(prompt)) {
            lines_.emplace_back(prompt);
            pending_.erase(0, prompt.size());
            continue;
        }
        const std::size_t end = pending_.find('\n');
        if (end == std::string::npos) {
            break;
        }
        lines_.push_back(pending_.substr(0, end));
        pending_.erase(0, end + 1);
    }
    if (atEnd && !pending_.empty()) {
        lines_.push_back(pending_);
        pending_.clear();
    }
}

bool ToolRun::waitForLine(const std::function<bool(const std::string&)>& wanted,
                          std::chrono::seconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        while (examined_ < lines_.size()) {
            if (wanted(lines_[examined_++])) {
                return true;
            }
        }
        if (!readMore(deadline)) {
            if (!output_ && examined_ < lines_.size()) {
                continue;
            }
            return false;
        }
    }
}

bool ToolRun::waitForLine(const std::string& exact, std::chrono::seconds patience) {
    return waitForLine([&exact](const std::string& line) { return line == exact; }, patience);
}

bool ToolRun::waitUntilWritten(std::size_t bytes, std::chrono::seconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    int waiting = 0;
    while (::ioctl(output_.get(), FIONREAD, &waiting) == 0 &&
           static_cast<std::size_t>(waiting) < filler_ + bytes) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void ToolRun::answer(const std::optional<std::string>& line) {
    const std::string bytes = line.value_or("") + "\n";
    if (!line) {
        input_.reset();
    } else if (::write(input_.get(), bytes.data(), bytes.size()) !=
               static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("cannot answer the tool");
    }
}

void ToolRun::sendSignal(int signal) {
    if (pid_ > 0) {
        ::kill(pid_, signal);
    }
}

int ToolRun::finish(std::chrono::seconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (output_ && std::chrono::steady_clock::now() < deadline) {
        readMore(deadline);
    }
    if (pid_ <= 0) {
        return -1;
    }
    // The child's exit, as an event: a descriptor that becomes readable.
    const posix::FileDescriptor exited(static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0)));
    pollfd watch{exited.get(), POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const bool ended =
        exited && ::poll(&watch, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0))) == 1;
    int status = 0;
    if (!ended || ::waitpid(pid_, &status, 0) != pid_) {
        return -1;
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool waitForFileChange(const std::string& path, const std::function<bool()>& condition,
                       std::chrono::seconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    const posix::FileDescriptor changes(::inotify_init1(IN_CLOEXEC));
    // The folder, so that a file not there yet or put in place anew counts too.
    const std::string folder = std::filesystem::path(path).parent_path();
    const bool watched =
        changes && ::inotify_add_watch(changes.get(), folder.c_str(),
                                       IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO) >= 0;
    bool met = condition();
    while (!met && watched && std::chrono::steady_clock::now() < deadline) {
        pollfd watch{changes.get(), POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (::poll(&watch, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0))) == 1) {
            std::array<char, 4096> events{};
            [[maybe_unused]] const ssize_t drained =
                ::read(changes.get(), events.data(), events.size());
        }
        met = condition();
    }
    return met;
}

ToolResult runTool(const std::vector<std::string>& arguments, const ToolRun::Options& options) {
    ToolRun run(arguments, options);
    ToolResult result;
    result.status = run.finish();
    result.lines = run.lines();
    return result;
}

std::vector<std::string> splitWords(const std::string& text) {
    std::istringstream words(text);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}
