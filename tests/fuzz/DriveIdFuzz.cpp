// Emulated drive ids. A size, a wait or a count of any magnitude, with any
// unit, is taken exactly when it lies within its range, and then as written;
// any id at all gives either a drive whose discs make sense or a problem.
#include "emulator/DriveConfig.h"
#include "tests/fuzz/FuzzCheck.h"

using emulator::DriveConfig;

// A parameter whose number is followed by the unit, and its range.
struct Quantity {
    const char *parameter, *unit;
    std::int64_t factor, minimum, maximum;
};

constexpr std::int64_t largestDisc = std::int64_t{1} << 40;
constexpr std::int64_t longestWait = 86'400'000; // milliseconds
constexpr Quantity quantities[] = {
    {"capacity=", "", 1, 0, largestDisc},        {"capacity=", "k", 1024, 0, largestDisc},
    {"capacity=", "M", 1 << 20, 0, largestDisc}, {"capacity=", "GiB", 1 << 30, 0, largestDisc},
    {"insert-after=", "ms", 1, 0, longestWait},  {"insert-after=", "s", 1000, 0, longestWait},
    {"state=full&sessions=", "", 1, 1, 99},
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const Quantity& quantity = input.PickValueInArray(quantities);
    const auto number = input.ConsumeIntegral<std::int64_t>();
    const __int128 exact = static_cast<__int128>(number) * quantity.factor;
    std::string problem;
    const auto drive = DriveConfig::parse("sim:/x?" + std::string(quantity.parameter) +
                                              std::to_string(number) + quantity.unit,
                                          problem);
    check(drive.has_value() == (exact >= quantity.minimum && exact <= quantity.maximum) &&
              (!drive || quantity.parameter != std::string("capacity=") ||
               drive->discs.front().capacity == exact / 2048),
          "a number is taken, as written, exactly when it lies within its range");

    problem.clear();
    const auto any = DriveConfig::parse(input.ConsumeRemainingBytesAsString(), problem);
    check(any.has_value() == problem.empty(), "a drive, or a problem to show");
    for (const emulator::DiscDescription& disc : any ? any->discs : decltype(any->discs){})
        check(0 <= disc.used && disc.used <= disc.capacity && disc.capacity <= largestDisc / 2048 &&
                  disc.sessions >= 1 && disc.sessions <= 99,
              "an emulated disc makes sense");
    return 0;
}
