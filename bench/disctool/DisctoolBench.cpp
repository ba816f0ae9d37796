// SPDX-License-Identifier: GPL-3.0-or-later
// Writes one image to a file-backed drive with emberlin-disctool and with its
// peers on the same file system, and prints the figures: time, throughput,
// peak memory, the fifo's sustained rate on an emulated BD, verify against
// cmp, and the largest gap between progress lines.
//
// Usage: emberlin-disctool-bench [--size MIB] [--runs N]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <optional>
#include <poll.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr uid_t nobody = 65534;

struct Line {
    double at; // seconds since the start
    std::string text;
};

struct Run {
    double seconds = 0;
    long peakKilobytes = 0;
    int status = -1;
    std::vector<Line> lines;
};

bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a command, its output to a pipe (kept when `capture`) or to nothing.
Run run(const std::vector<std::string>& argv, bool capture, bool asNobody = false) {
    int pipe[2] = {-1, -1};
    if (capture && ::pipe(pipe) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int nothing = ::open("/dev/null", O_RDWR);
        ::dup2(nothing, STDIN_FILENO);
        ::dup2(capture ? pipe[1] : nothing, STDOUT_FILENO);
        ::dup2(capture ? pipe[1] : nothing, STDERR_FILENO);
        if (asNobody &&
            (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            ::_exit(126);
        }
        std::vector<char*> args;
        std::vector<std::string> copies = argv;
        for (std::string& arg : copies) {
            args.push_back(arg.data());
        }
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    Run result;
    if (capture) {
        ::close(pipe[1]);
        std::string pending;
        char buffer[4096];
        for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) {
            const double at = std::chrono::duration<double>(Clock::now() - start).count();
            pending.append(buffer, static_cast<std::size_t>(got));
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
                result.lines.push_back({at, pending.substr(0, end)});
                pending.erase(0, end + 1);
            }
        }
        ::close(pipe[0]);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    result.peakKilobytes = usage.ru_maxrss;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::optional<double> lineTime(const Run& run, const std::string& text) {
    for (const Line& line : run.lines) {
        if (line.text == text) {
            return line.at;
        }
    }
    return std::nullopt;
}

// The longest silence between two lines of output, once output has begun.
double largestGap(const Run& run) {
    double gap = 0;
    for (std::size_t i = 1; i < run.lines.size(); ++i) {
        gap = std::max(gap, run.lines[i].at - run.lines[i - 1].at);
    }
    return gap;
}

void makeImage(const std::string& path, std::size_t bytes) {
    std::mt19937_64 random(42);
    std::vector<std::uint64_t> block(1024 * 1024 / 8);
    FILE* file = std::fopen(path.c_str(), "wb");
    for (std::size_t written = 0; written < bytes; written += 1024 * 1024) {
        for (std::uint64_t& word : block) {
            word = random();
        }
        std::fwrite(block.data(), 1, std::min<std::size_t>(1024 * 1024, bytes - written), file);
    }
    std::fclose(file);
    ::chmod(path.c_str(), 0644);
}

// Each writer starts from a missing target and a clean page cache for it.
void freshTarget(const std::string& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
    ::sync();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figure {
    std::string name;
    double seconds = 0;
    long peakKilobytes = 0;
    bool ran = false;
};

} // namespace

int main(int argc, char** argv) {
    std::size_t mebibytes = 256;
    int runs = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--size") == 0) {
            mebibytes = static_cast<std::size_t>(std::atol(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    const std::string tool = EMBERLIN_DISCTOOL;
    char pattern[] = "/tmp/emberlin-disctool-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path dir = pattern;
    ::chmod(dir.c_str(), 0755);
    const std::string image = (dir / "image.iso").string();
    const std::string target = (dir / "disc.iso").string();
    const double megabytes = static_cast<double>(mebibytes) * 1024 * 1024 / 1e6;
    std::printf("Preparing a %zu MiB image in %s ...\n", mebibytes, dir.c_str());
    makeImage(image, mebibytes * 1024 * 1024);

    // cdrskin refuses file targets to root; it runs as nobody into a folder of nobody's.
    const bool root = ::getuid() == 0;
    const fs::path nobodyDir = dir / "nobody";
    fs::create_directory(nobodyDir);
    if (root && ::chown(nobodyDir.c_str(), nobody, static_cast<gid_t>(-1)) != 0) {
        std::perror("chown");
        return 1;
    }
    const std::string nobodyTarget = (nobodyDir / "disc.iso").string();

    const std::vector<std::string> toolWrite = {
        tool,  "burn",           image,     "-noverifyburn",  "-forceclose", "-speed",
        "max", "-puppetstrings", "-device", "stdio:" + target};
    struct Writer {
        std::string name;
        std::vector<std::string> argv;
        std::string target;
        bool asNobody;
        bool available;
    };
    const std::vector<Writer> writers = {
        {"dd bs=1M conv=fsync",
         {"dd", "if=" + image, "of=" + target, "bs=1M", "conv=fsync"},
         target,
         false,
         true},
        {"emberlin-disctool (stdio:)", toolWrite, target, false, true},
        {"xorriso -as cdrecord",
         {"xorriso", "-as", "cdrecord", "-v", "dev=stdio:" + target, image},
         target,
         false,
         onPath("xorriso")},
        {root ? "cdrskin (as nobody)" : "cdrskin",
         {"cdrskin", "--allow_emulated_drives", "-v", "dev=stdio:" + nobodyTarget, image},
         nobodyTarget,
         root,
         onPath("cdrskin")},
    };

    // Round by round, every writer once per round, so that the file system's
    // writeback moods fall on all of them alike.
    std::vector<Figure> figures;
    std::vector<std::vector<double>> times(writers.size());
    for (const Writer& writer : writers) {
        figures.push_back({writer.name, 0, 0, writer.available});
    }
    double toolGap = 0;
    for (int round = 0; round < runs; ++round) {
        for (std::size_t w = 0; w < writers.size(); ++w) {
            const Writer& writer = writers[w];
            Figure& figure = figures[w];
            if (!figure.ran) {
                continue;
            }
            freshTarget(writer.target);
            const Run result = run(writer.argv, true, writer.asNobody);
            if (result.status != 0 || fs::file_size(writer.target) < mebibytes * 1024 * 1024) {
                std::printf("%s failed (status %d)\n", writer.name.c_str(), result.status);
                figure.ran = false;
                continue;
            }
            times[w].push_back(result.seconds);
            figure.peakKilobytes = std::max(figure.peakKilobytes, result.peakKilobytes);
            if (writer.argv.front() == tool) {
                toolGap = std::max(toolGap, largestGap(result));
            }
        }
    }
    for (std::size_t w = 0; w < writers.size(); ++w) {
        if (figures[w].ran) {
            figures[w].seconds = median(times[w]);
        }
    }

    // Verify: the tool's verify phase against cmp of the same two files.
    std::vector<double> verifyTimes;
    std::vector<double> cmpTimes;
    double verifyGap = 0;
    for (int i = 0; i < runs; ++i) {
        freshTarget(target);
        std::vector<std::string> withVerify = toolWrite;
        withVerify[3] = "-verifyburn";
        const Run result = run(withVerify, true);
        const std::optional<double> verifyStart = lineTime(result, "Verifying burn");
        if (result.status != 0 || !verifyStart) {
            std::printf("emberlin-disctool verify failed (status %d)\n", result.status);
            return 1;
        }
        verifyTimes.push_back(result.seconds - *verifyStart);
        verifyGap = std::max(verifyGap, largestGap(result));
        cmpTimes.push_back(run({"cmp", image, target}, false).seconds);
    }

    // The fifo that real drives get, on an emulated BD-R backed by the same
    // file system: a new disc each time, bytes and state.
    std::vector<double> fifoRates;
    long fifoPeak = 0;
    for (int i = 0; i < runs; ++i) {
        const std::string backing = (dir / "bd.img").string();
        freshTarget(backing);
        freshTarget(backing + ".state");
        const Run result =
            run({tool, "burn", image, "-noverifyburn", "-forceclose", "-speed", "max",
                 "-puppetstrings", "-device", "sim:" + backing + "?medium=bd-r"},
                true);
        // Until the drive has all the data: a drive then flushes its cache
        // and closes the session, which libburn waits for in steps of 0.5 s.
        const std::optional<double> from = lineTime(result, "Writing track");
        const std::optional<double> to = lineTime(result, "PERCENT:100");
        if (result.status != 0 || !from || !to) {
            std::printf("emulated BD-R burn failed (status %d)\n", result.status);
            return 1;
        }
        fifoRates.push_back(megabytes / (*to - *from));
        fifoPeak = std::max(fifoPeak, result.peakKilobytes);
    }

    // Progress at a drive's pace: an emulated 16x DVD-R drive asked for 4x,
    // written, closed and verified.
    const std::string pacedImage = (dir / "paced.iso").string();
    makeImage(pacedImage, 24 * 1024 * 1024);
    const std::string pacedBacking = (dir / "dvd.img").string();
    freshTarget(pacedBacking);
    freshTarget(pacedBacking + ".state");
    const Run paced =
        run({tool, "burn", pacedImage, "-verifyburn", "-forceclose", "-speed", "4",
             "-puppetstrings", "-device", "sim:" + pacedBacking + "?medium=dvd-r&rate=16x"},
            true);

    std::error_code ignored;
    fs::remove_all(dir, ignored);

    const Figure& dd = figures[0];
    const Figure& ours = figures[1];
    std::printf(
        "\nemberlin-disctool benchmark: %zu MiB image, /tmp file system, median of %d runs\n\n",
        mebibytes, runs);
    std::printf("%-32s %9s %9s %9s %10s\n", "writer (stdio: file target)", "time s", "MB/s",
                "vs dd", "peak RSS");
    for (const Figure& figure : figures) {
        if (!figure.ran) {
            std::printf("%-32s %9s\n", figure.name.c_str(), "n/a");
            continue;
        }
        std::printf("%-32s %9.3f %9.1f %9.2f %8.1f MB\n", figure.name.c_str(), figure.seconds,
                    megabytes / figure.seconds, dd.seconds / figure.seconds,
                    static_cast<double>(figure.peakKilobytes) / 1024.0);
    }
    const double verify = median(verifyTimes);
    const double cmp = median(cmpTimes);
    const double fifoRate = median(fifoRates);
    std::printf("\nverify phase %.3f s (%.1f MB/s) vs cmp %.3f s (%.1f MB/s)\n", verify,
                megabytes / verify, cmp, megabytes / cmp);
    std::printf("fifo (%d MiB) on emulated BD-R: %.1f MB/s sustained write, peak RSS %.1f MB\n", 32,
                fifoRate, static_cast<double>(fifoPeak) / 1024.0);
    std::printf("largest gap between output lines: stdio write %.3f s, stdio write+verify %.3f s, "
                "DVD-R 4x write+verify (%.1f s) %.3f s\n",
                toolGap, verifyGap, paced.seconds, largestGap(paced));

    std::printf("\ngoals:\n");
    const auto goal = [](const char* what, bool met, double value) {
        std::printf("  %-52s %8.2f  %s\n", what, value, met ? "met" : "NOT MET");
    };
    goal("write >= 0.8 x dd (ratio of throughput)", dd.seconds / ours.seconds >= 0.8,
         dd.seconds / ours.seconds);
    if (figures[2].ran) {
        goal("write >= 3 x xorriso", figures[2].seconds / ours.seconds >= 3.0,
             figures[2].seconds / ours.seconds);
    }
    if (figures[3].ran) {
        goal("write >= 1 x cdrskin", figures[3].seconds / ours.seconds >= 1.0,
             figures[3].seconds / ours.seconds);
    }
    goal("verify >= 0.8 x cmp", cmp / verify >= 0.8, cmp / verify);
    goal("fifo sustains >= 144 MB/s (2 x BD 16x), MB/s", fifoRate >= 144.0, fifoRate);
    const double worstGap = std::max({toolGap, verifyGap, largestGap(paced)});
    goal("progress lines at most 1 s apart, largest gap s", worstGap <= 1.0, worstGap);
    return 0;
}
