// emberlin-bench-writer: writes progress lines "PERCENT:n" to standard output,
// as the disc-image tool does on a pseudo-terminal (one write per line).
//
//   emberlin-bench-writer N        N progress lines, nothing else
//   emberlin-bench-writer burn -list
//                                  two burners, so the window can list them
//   emberlin-bench-writer burn ... a burn: "Preparing data for burn", the
//                                  progress lines, "Burn completed successfully";
//                                  EMBERLIN_BENCH_LINES lines (default 100000),
//                                  EMBERLIN_BENCH_INTERVAL_MS apart (default 0)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

long environmentNumber(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::strtol(value, nullptr, 10) : fallback;
}

void writeProgress(long lines, std::chrono::milliseconds interval) {
    for (long i = 0; i < lines; ++i) {
        std::printf("PERCENT:%.6f\n", 100.0 * static_cast<double>(i) / static_cast<double>(lines));
        if (interval.count() > 0) {
            std::fflush(stdout);
            std::this_thread::sleep_for(interval);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "burn") == 0 && std::strcmp(argv[2], "-list") == 0) {
        std::printf("Bench Writer via pseudo-terminal\n/dev/null\n"
                    "Second Bench Writer via pseudo-terminal\n/dev/zero\n");
        return 0;
    }
    if (argc > 2 && std::strcmp(argv[1], "burn") == 0) {
        std::printf("Preparing data for burn\nWriting track\n");
        writeProgress(
            environmentNumber("EMBERLIN_BENCH_LINES", 100000),
            std::chrono::milliseconds(environmentNumber("EMBERLIN_BENCH_INTERVAL_MS", 0)));
        std::printf("PERCENT:100\nClosing session\nFinishing burn\nBurn completed successfully\n");
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LINES | burn -list | burn IMAGE ...\n", argv[0]);
        return 2;
    }
    writeProgress(std::strtol(argv[1], nullptr, 10), std::chrono::milliseconds(0));
    return 0;
}
