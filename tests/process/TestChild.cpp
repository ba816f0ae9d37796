// A child for the runner's tests. Without arguments it tells how it was
// started; with "slow-exit MARKER" it waits for SIGTERM or SIGHUP, takes a
// second to wind up, creates MARKER and exits 0.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

volatile sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

std::string terminalName(int fd) {
    const char* name = ::ttyname(fd);
    return name ? name : "none";
}

std::string statusField(const char* field) {
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    std::string value = "unknown";
    while (status && std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, std::strlen(field)) == 0) {
            value = line + std::strlen(field);
            value.erase(0, value.find_first_not_of(" \t"));
            value.erase(value.find_last_not_of(" \t\n") + 1);
        }
    }
    if (status)
        std::fclose(status);
    return value;
}

std::vector<std::string> openDescriptors() {
    std::vector<std::string> result;
    DIR* directory = ::opendir("/proc/self/fd");
    while (dirent* entry = ::readdir(directory)) {
        if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == ::dirfd(directory))
            continue;
        char target[512] = {};
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        [[maybe_unused]] const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
        result.push_back(std::string(entry->d_name) + "=" + target);
    }
    ::closedir(directory);
    std::sort(result.begin(), result.end());
    return result;
}

int describe(int argc) {
    const int terminal = ::open("/dev/tty", O_RDWR | O_NOCTTY);
    const bool hasControllingTerminal = terminal >= 0;
    if (terminal >= 0)
        ::close(terminal);

    std::printf("arguments %d\n", argc - 1);
    std::printf("stdin %s\n", terminalName(0).c_str());
    std::printf("stdout %s\n", terminalName(1).c_str());
    std::printf("stderr %s\n", terminalName(2).c_str());
    std::printf("session-leader %s\n", ::getsid(0) == ::getpid() ? "yes" : "no");
    std::printf("controlling-terminal %s\n", hasControllingTerminal ? "yes" : "no");
    std::printf("blocked %s\n", statusField("SigBlk:").c_str());
    std::printf("ignored %s\n", statusField("SigIgn:").c_str());
    for (const std::string& descriptor : openDescriptors())
        std::printf("descriptor %s\n", descriptor.c_str());
    std::printf("end\n");
    return 0;
}

int slowExit(const char* marker) {
    struct sigaction action {};
    action.sa_handler = requestStop;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    sigset_t blocked;
    sigset_t waiting;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGHUP);
    ::sigprocmask(SIG_BLOCK, &blocked, &waiting);

    std::printf("ready\n");
    std::fflush(stdout);
    while (!stopRequested)
        ::sigsuspend(&waiting);

    // A real burner needs a moment to abort cleanly.
    ::sleep(1);
    const int created = ::open(marker, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (created < 0)
        return 1;
    ::close(created);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "slow-exit") == 0)
        return slowExit(argv[2]);
    return describe(argc);
}
