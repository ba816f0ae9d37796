// emberlin-bench-writer N: writes N progress lines "PERCENT:n" to standard
// output, as the disc-image tool does on a pseudo-terminal (one write per line).
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LINES\n", argv[0]);
        return 2;
    }
    const long lines = std::strtol(argv[1], nullptr, 10);
    for (long i = 0; i < lines; ++i)
        std::printf("PERCENT:%.6f\n", 100.0 * static_cast<double>(i) / static_cast<double>(lines));
    return 0;
}
