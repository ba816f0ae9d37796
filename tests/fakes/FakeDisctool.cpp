// emberlin-fake-disctool: a scripted stand-in of the disc-image tool, so that
// tests run the real listing and burn paths against a child that says exactly
// what the test wants, when it wants, and reports what it was given.
//
// Configuration: the environment variable EMBERLIN_FAKE_DIR names a folder.
// Without it nothing is recorded and nothing is replayed.
//
// Transcript: invoked with exactly the arguments "burn" "-list" it replays
// $EMBERLIN_FAKE_DIR/list.transcript, otherwise $EMBERLIN_FAKE_DIR/burn.transcript.
// A missing transcript replays nothing (exit status 0, no output). The end of
// the transcript exits with status 0.
//
// Records, each appended to a file in that folder, in this order at start:
//   signals.log  opened first; one line with the signal's number for every
//                SIGTERM, SIGHUP or SIGINT received (the handlers are in place
//                before the next two records are written)
//   pids.log     one line with this process's id
//   calls.log    one line per invocation: argv[1..] separated by the byte 0x1F
//                (blanks and tabs inside arguments stay as they are)
// So once a call is in calls.log, a signal sent to the pid is recorded.
//
// Transcript directives, one per line (a line ends at "\n" only; everything
// after the directive's single separating blank is taken literally). Empty
// lines and lines starting with "#" are skipped.
//   line TEXT        writes TEXT and "\n" in one write
//   text TEXT        writes TEXT without a line end (e.g. "Please insert a disc:")
//   bytes HEX...     writes raw bytes given as hex pairs, blanks between allowed
//                    (invalid UTF-8, a character split across two writes)
//   sleep MS         waits MS milliseconds
//   exit CODE        exits at once with status CODE
//   hang             waits until a signal arrives
//   abort-delay MS   from now on a received signal is recorded and the tool
//                    stops replaying and exits MS milliseconds later, as a burner
//                    aborting cleanly does
//   crash            kills itself with SIGKILL (the tool dies without a word)
// By default a received signal is recorded and the tool exits at once. Either
// way the exit status after a signal is 128 + its number.
// Every write is complete before the next directive starts. A malformed
// directive writes a message to standard error and exits with status 2.

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int HandledSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int MalformedStatus = 2;
constexpr int LostOutputStatus = 1;

int signalLog = -1;
volatile sig_atomic_t abortDelayed = 0;
volatile sig_atomic_t pendingSignal = 0;
long long abortDelayMilliseconds = 0; // main flow only

// Async-signal-safe: formats by hand, writes with one write().
void appendNumberLine(int fd, int number) {
    char digits[16];
    char* const end = digits + sizeof digits;
    char* at = end;
    *--at = '\n';
    do {
        *--at = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    const ssize_t ignored = write(fd, at, static_cast<size_t>(end - at));
    (void)ignored;
}

void onSignal(int number) {
    const int savedErrno = errno;
    if (signalLog >= 0) {
        appendNumberLine(signalLog, number);
    }
    if (!abortDelayed) {
        _exit(128 + number);
    }
    if (pendingSignal == 0) {
        pendingSignal = number;
    }
    errno = savedErrno;
}

void installHandlers() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a blocked write or wait returns to notice it
    for (int number : HandledSignals) {
        sigaction(number, &action, nullptr);
    }
}

sigset_t handledSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int number : HandledSignals) {
        sigaddset(&set, number);
    }
    return set;
}

[[noreturn]] void failMalformed(const std::string& directive) {
    const std::string message = "emberlin-fake-disctool: malformed directive: " + directive + "\n";
    const ssize_t ignored = write(STDERR_FILENO, message.data(), message.size());
    (void)ignored;
    _exit(MalformedStatus);
}

timespec monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

long long millisecondsSince(const timespec& start) {
    const timespec now = monotonicNow();
    return (now.tv_sec - start.tv_sec) * 1000LL + (now.tv_nsec - start.tv_nsec) / 1'000'000;
}

timespec durationOf(long long milliseconds) {
    return timespec{static_cast<time_t>(milliseconds / 1000),
                    static_cast<long>(milliseconds % 1000) * 1'000'000L};
}

// Sleeps the whole time, whatever arrives meanwhile.
void sleepThrough(long long milliseconds) {
    timespec remaining = durationOf(milliseconds);
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

[[noreturn]] void finishAbort() {
    sleepThrough(abortDelayMilliseconds);
    _exit(128 + pendingSignal);
}

void finishAbortIfSignalled() {
    if (pendingSignal != 0) {
        finishAbort();
    }
}

// Waits with the handled signals blocked except inside pselect/sigsuspend, so a
// signal that arrives just before the wait still ends it.
void sleepUnlessSignalled(long long milliseconds) {
    const sigset_t handled = handledSignalSet();
    sigset_t original;
    sigprocmask(SIG_BLOCK, &handled, &original);
    const timespec start = monotonicNow();
    long long left = milliseconds;
    while (pendingSignal == 0 && left > 0) {
        const timespec timeout = durationOf(left);
        pselect(0, nullptr, nullptr, nullptr, &timeout, &original);
        left = milliseconds - millisecondsSince(start);
    }
    sigprocmask(SIG_SETMASK, &original, nullptr);
    finishAbortIfSignalled();
}

[[noreturn]] void hangUntilSignalled() {
    const sigset_t handled = handledSignalSet();
    sigset_t original;
    sigprocmask(SIG_BLOCK, &handled, &original);
    while (pendingSignal == 0) {
        sigsuspend(&original);
    }
    sigprocmask(SIG_SETMASK, &original, nullptr);
    finishAbort();
}

void writeAll(int fd, const std::string& data) {
    std::size_t written = 0;
    while (written < data.size()) {
        finishAbortIfSignalled();
        const ssize_t count = write(fd, data.data() + written, data.size() - written);
        if (count >= 0) {
            written += static_cast<std::size_t>(count);
        } else if (errno == EAGAIN) {
            pollfd writable{fd, POLLOUT, 0};
            poll(&writable, 1, -1);
        } else if (errno != EINTR) {
            _exit(LostOutputStatus); // nobody reads any more
        }
    }
}

void appendToFile(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        writeAll(fd, text);
        close(fd);
    }
}

std::string hexBytes(const std::string& directive, const std::string& hex) {
    std::string bytes;
    std::string pair;
    for (const char c : hex) {
        if (c == ' ' || c == '\t') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            failMalformed(directive);
        }
        pair += c;
        if (pair.size() == 2) {
            bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
            pair.clear();
        }
    }
    if (!pair.empty()) {
        failMalformed(directive);
    }
    return bytes;
}

long long numberArgument(const std::string& directive, const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < 0) {
        failMalformed(directive);
    }
    return value;
}

void run(const std::string& directive) {
    if (directive.empty() || directive[0] == '#') {
        return;
    }
    const std::size_t blank = directive.find(' ');
    const std::string verb = directive.substr(0, blank);
    const std::string argument = blank == std::string::npos ? "" : directive.substr(blank + 1);
    if (verb == "line") {
        writeAll(STDOUT_FILENO, argument + "\n");
    } else if (verb == "text") {
        writeAll(STDOUT_FILENO, argument);
    } else if (verb == "bytes") {
        writeAll(STDOUT_FILENO, hexBytes(directive, argument));
    } else if (verb == "sleep") {
        sleepUnlessSignalled(numberArgument(directive, argument));
    } else if (verb == "exit") {
        _exit(static_cast<int>(numberArgument(directive, argument)));
    } else if (verb == "hang") {
        hangUntilSignalled();
    } else if (verb == "abort-delay") {
        abortDelayMilliseconds = numberArgument(directive, argument);
        abortDelayed = 1;
    } else if (verb == "crash") {
        kill(getpid(), SIGKILL);
        _exit(LostOutputStatus);
    } else {
        failMalformed(directive);
    }
}

std::vector<std::string> transcriptLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    const char* folderVariable = std::getenv("EMBERLIN_FAKE_DIR");
    const std::string folder = folderVariable ? folderVariable : "";
    if (!folder.empty()) {
        signalLog = open((folder + "/signals.log").c_str(),
                         O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    }
    installHandlers();
    if (folder.empty()) {
        return 0;
    }
    appendToFile(folder + "/pids.log", std::to_string(getpid()) + "\n");
    std::string call;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            call += '\x1f';
        }
        call += argv[i];
    }
    appendToFile(folder + "/calls.log", call + "\n");

    const bool listing =
        argc == 3 && std::strcmp(argv[1], "burn") == 0 && std::strcmp(argv[2], "-list") == 0;
    const std::string transcript = folder + (listing ? "/list.transcript" : "/burn.transcript");
    for (const std::string& directive : transcriptLines(transcript)) {
        finishAbortIfSignalled();
        run(directive);
    }
    finishAbortIfSignalled();
    return 0;
}
