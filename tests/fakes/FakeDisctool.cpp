// emberlin-fake-disctool: a scripted stand-in of the disc-image tool, so that
// tests run the real listing and burn paths against a child that says exactly
// what the test wants, when the test wants, and records what it was given.
//
// The environment variable EMBERLIN_FAKE_DIR names a folder; without it the
// tool says nothing and exits 0. Invoked with exactly "burn" "-list" it replays
// list.transcript from that folder; otherwise, burning to device D (the last
// argument), burn-D.transcript with each "/" of D as "_" where there is one,
// else burn.transcript (none: nothing).
// It records each invocation's arguments (separated by the byte 0x1F) as a line
// of calls.log, and each SIGTERM, SIGHUP or SIGINT as a line of signals.log,
// after which it exits with 128 + the signal's number.
//
// Transcript directives, one a line:
//   out HEX      writes the bytes (hex pairs) to standard output in one write
//   err HEX      the same on standard error
//   await NAME   waits until the file NAME exists in the folder (a test's go)
//   mark NAME    creates the file NAME in the folder (tells a test it got here)
//   read         reads a line of standard input and creates the file read-LINE
//   exit CODE    exits with that status
//   hang         waits for a signal
//   crash        kills itself with SIGKILL
// The end of the transcript exits 0. A malformed directive exits 2.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

int signalLog = -1;

void onSignal(int number) {
    const char line[] = {static_cast<char>('0' + number / 10), static_cast<char>('0' + number % 10),
                         '\n'};
    [[maybe_unused]] const ssize_t written = write(signalLog, line, sizeof line);
    _exit(128 + number);
}

void writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno != EINTR)
            _exit(1); // nobody reads any more
        done += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
}

std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

void run(const std::string& folder, const std::string& directive) {
    const std::size_t blank = directive.find(' ');
    const std::string verb = directive.substr(0, blank);
    const std::string argument = blank == std::string::npos ? "" : directive.substr(blank + 1);
    const std::string path = folder + "/" + argument;
    if (verb == "out" || verb == "err") {
        writeAll(verb == "out" ? STDOUT_FILENO : STDERR_FILENO, fromHex(argument));
    } else if (verb == "await") {
        const timespec pause{0, 1'000'000};
        while (access(path.c_str(), F_OK) != 0)
            nanosleep(&pause, nullptr);
    } else if (verb == "mark") {
        close(open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    } else if (verb == "read") {
        std::string line;
        for (char c; read(STDIN_FILENO, &c, 1) == 1 && c != '\n';)
            line += c;
        close(open((folder + "/read-" + line).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    } else if (verb == "exit") {
        _exit(std::atoi(argument.c_str()));
    } else if (verb == "hang") {
        for (;;)
            pause();
    } else if (verb == "crash") {
        kill(getpid(), SIGKILL);
    } else {
        _exit(2);
    }
}

void append(const std::string& path, const std::string& line) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    writeAll(fd, line + "\n");
    close(fd);
}

} // namespace

int main(int argc, char** argv) {
    const char* folderVariable = std::getenv("EMBERLIN_FAKE_DIR");
    if (folderVariable == nullptr)
        return 0;
    const std::string folder = folderVariable;
    signalLog =
        open((folder + "/signals.log").c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    for (const int number : {SIGTERM, SIGHUP, SIGINT})
        signal(number, onSignal);
    std::string call;
    for (int i = 1; i < argc; ++i)
        call.append(i > 1 ? "\x1f" : "").append(argv[i]);
    append(folder + "/calls.log", call);

    const bool listing =
        argc == 3 && std::strcmp(argv[1], "burn") == 0 && std::strcmp(argv[2], "-list") == 0;
    std::string device = argv[argc - 1];
    std::replace(device.begin(), device.end(), '/', '_');
    const std::string ownBurn = folder + "/burn-" + device + ".transcript";
    std::ifstream transcript(listing                              ? folder + "/list.transcript"
                             : access(ownBurn.c_str(), F_OK) == 0 ? ownBurn
                                                                  : folder + "/burn.transcript");
    for (std::string directive; std::getline(transcript, directive);) {
        if (!directive.empty())
            run(folder, directive);
    }
    return 0;
}
